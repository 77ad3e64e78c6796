// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <cstddef>
#include <vector>

#include "TapeArchive.h"

class QTreeWidget;

namespace brisalto {

// The small modal list of the tapes an archive holds, in archive order with their sizes, the
// first selected: Enter, a double click or "Open" takes the selected one, Esc cancels.
class ArchiveTapeChooser final : public QDialog {
    Q_OBJECT

public:
    ArchiveTapeChooser(const QString& archive, const std::vector<ArchiveTape>& tapes,
                       QWidget* parent = nullptr);
    // The index of the tape selected.
    std::size_t Chosen() const;

protected:
    void showEvent(QShowEvent* event) override;

private:
    QTreeWidget* list_;
};

}  // namespace brisalto
