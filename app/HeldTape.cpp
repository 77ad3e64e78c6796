// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeldTape.h"

#include <utility>

#include "OsFile.h"
#include "RecordingErrors.h"
#include "RecordingProgressDialog.h"

namespace brisalto {

void HeldTape::Read() {
    try {
        std::shared_ptr<const TapeDocument> read;
        if (progressOwner_ == nullptr) {
            read = std::make_shared<const TapeDocument>(ReadTapeDocument(location_));
        } else {
            RecordingProgressDialog progress(progressOwner_);
            read = std::make_shared<const TapeDocument>(
                ReadTapeDocument(location_, progress.Progress()));
        }
        document_ = std::move(read);
        inMemory_ = false;
    } catch (const RecordingCancelled&) {
        // The tape held before stays held, for the window to go back to.
        throw;
    } catch (...) {
        document_.reset();
        inMemory_ = false;
        throw;
    }
}

std::shared_ptr<const TapeDocument> HeldTape::Current() {
    if (location_.path.empty()) return nullptr;
    if (inMemory_ && document_->location == location_) return document_;
    // A look at the file's stamp, not an open: an unchanged tape is not read again.
    // Read again without a progress dialog: this may be asked from inside a model's data(), where
    // running the event loop for a dialog would let the views change under the caller.
    if (!document_ || document_->location != location_ ||
        StampOfFile(location_.path) != std::optional(document_->stamp)) {
        document_.reset();
        inMemory_ = false;
        document_ = std::make_shared<const TapeDocument>(ReadTapeDocument(location_));
    }
    return document_;
}

void HeldTape::Hold(std::shared_ptr<const TapeDocument> document) {
    document_ = std::move(document);
    inMemory_ = true;
    saved_ = false;
}

}  // namespace brisalto
