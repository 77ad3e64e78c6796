// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QKeySequence>

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "TapeArchive.h"
#include "TapeLocation.h"

class QWidget;

namespace brisalto {

// The keys that open the next and the previous tape of the open archive. The grid moves its rows
// with Ctrl+PgDown and Ctrl+PgUp, and Left and Right without Alt.
inline const QKeySequence kNextArchiveTapeKeys{Qt::ALT | Qt::Key_Right};
inline const QKeySequence kPreviousArchiveTapeKeys{Qt::ALT | Qt::Key_Left};

// The tapes of the archive the open tape came from, in archive order, and which of them is open,
// so that the window can step to its neighbours without asking again.
class ArchiveSteps {
public:
    // The archive at path holds tapes, the one at entry index entryIndex open. With fewer than
    // two there is nowhere to step.
    void Follow(const std::string& path, std::vector<ArchiveTape> tapes, unsigned entryIndex);
    // The open tape is no archive's (or none is open).
    void Forget() noexcept;

    bool HasNext() const noexcept { return Neighbour(1).has_value(); }
    bool HasPrevious() const noexcept { return Neighbour(-1).has_value(); }
    // The place among the tapes one step on (direction +1) or back (-1); nothing past either end.
    std::optional<std::size_t> Neighbour(int direction) const noexcept;
    // Where the tape at place lies, and that it is the open one from now on.
    TapeLocation StepTo(std::size_t place);

private:
    std::string path_;
    std::vector<ArchiveTape> tapes_;
    std::size_t open_ = 0;
};

// Makes the keys above step the window's archive: step(+1) for the next tape, step(-1) for the
// previous, wherever the focus is in window.
void AddArchiveStepKeys(QWidget& window, const std::function<void(int)>& step);

}  // namespace brisalto
