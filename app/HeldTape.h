// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <memory>

#include "TapeDocument.h"
#include "TapeLocation.h"

class QWidget;

namespace brisalto {

// The tape document the window holds for the open tape, whose location it follows: read once
// when the tape is opened, and read again only when its file's size or time stamp has changed
// since (or the location is another), so that listings, tooltips, the Block View and the player
// never go back to the file for an unchanged tape. The stamp is looked at only when asked
// (Current, CheckFile): before an action that needs the file and when the window becomes active,
// never while a view paints.
class HeldTape {
public:
    explicit HeldTape(const TapeLocation& location) : location_(location) {}

    // The window a recording's decoding shows its progress over (with Cancel, which ends a read
    // in RecordingCancelled); none: no progress is shown.
    void ShowProgressOver(QWidget* window) noexcept { progressOwner_ = window; }

    // Reads the tape at the location now; a failure travels out, and the location is still the
    // open one (its views then fail as opening it did). Cancelled (RecordingCancelled), the
    // document held before is still held, for the caller to put its location back. While a
    // recording decodes with its progress shown, sofar is given a document of the blocks found
    // until then each time the progress moves after new ones were found.
    using SoFar = std::function<void(const TapeDocument&)>;
    void Read(const SoFar& sofar = {});
    // Holds a tape made in memory (a recording) as the open one, its location now the one
    // followed: no file is looked at for it while the location stays its own.
    void Hold(std::shared_ptr<const TapeDocument> document);
    const TapeLocation& Location() const noexcept { return location_; }
    // The held tape is a recording that no Save Tape As has written yet.
    bool Unsaved() const noexcept {
        return inMemory_ && !saved_ && document_ && document_->location == location_;
    }
    // Save Tape As wrote the held tape.
    void MarkSaved() noexcept { saved_ = true; }
    // The held document, read again first (showing no progress) when its file changed; nullptr
    // when no tape is open. A failure to read travels out (InOutError, ArchiveError...).
    std::shared_ptr<const TapeDocument> Current();
    // The document as last read, the file not looked at: for a model's data(), which must not
    // touch the file. nullptr when none is held.
    std::shared_ptr<const TapeDocument> Held() const noexcept { return document_; }
    // Current for its look at the file when a document is held, a failure kept quiet (no document
    // is then held, and the next action that needs the tape shows it): for the window becoming
    // active.
    void CheckFile() noexcept;

private:
    // Read's decoding with its progress dialog, the blocks found so far given to sofar.
    std::shared_ptr<const TapeDocument> ReadShowingProgress(const SoFar& sofar);

    const TapeLocation& location_;
    std::shared_ptr<const TapeDocument> document_;
    bool inMemory_ = false;  // document_ was made in memory, not read from its location
    bool saved_ = false;     // document_, made in memory, was saved
    bool reading_ = false;   // Read is under way (its progress dialog runs the event loop)
    QWidget* progressOwner_ = nullptr;
};

}  // namespace brisalto
