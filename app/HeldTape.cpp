// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeldTape.h"

#include <utility>

#include "OsFile.h"
#include "RecordingProgressDialog.h"

namespace brisalto {

void HeldTape::Read() {
    document_.reset();
    inMemory_ = false;
    if (progressOwner_ == nullptr) {
        document_ = std::make_shared<const TapeDocument>(ReadTapeDocument(location_));
        return;
    }
    RecordingProgressDialog progress(progressOwner_);
    document_ =
        std::make_shared<const TapeDocument>(ReadTapeDocument(location_, progress.Progress()));
}

std::shared_ptr<const TapeDocument> HeldTape::Current() {
    if (location_.path.empty()) return nullptr;
    if (inMemory_ && document_->location == location_) return document_;
    // A look at the file's stamp, not an open: an unchanged tape is not read again.
    // Read again without a progress dialog: this may be asked while a handler runs, where running
    // the event loop for a dialog would let the views change under the caller.
    if (!document_ || document_->location != location_ ||
        StampOfFile(location_.path) != std::optional(document_->stamp)) {
        document_.reset();
        inMemory_ = false;
        document_ = std::make_shared<const TapeDocument>(ReadTapeDocument(location_));
    }
    return document_;
}

void HeldTape::CheckFile() noexcept {
    // Nothing held: no tape, one that failed (its next action says why), or one being read now,
    // whose progress dialog lets the window's activation through.
    if (!document_) return;
    try {
        Current();
    } catch (...) {
        // Nothing held now; the action that next asks for the tape reads it and shows why not.
    }
}

void HeldTape::Hold(std::shared_ptr<const TapeDocument> document) {
    document_ = std::move(document);
    inMemory_ = true;
}

}  // namespace brisalto
