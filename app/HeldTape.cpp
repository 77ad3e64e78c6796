// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeldTape.h"

#include <utility>
#include <vector>

#include "OsFile.h"
#include "RecordingErrors.h"
#include "RecordingProgressDialog.h"
#include "TzxBlockCodec.h"

namespace brisalto {

void HeldTape::Read(const SoFar& sofar) {
    try {
        std::shared_ptr<const TapeDocument> read;
        if (progressOwner_ == nullptr) {
            read = std::make_shared<const TapeDocument>(ReadTapeDocument(location_));
        } else {
            read = ReadShowingProgress(sofar);
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

std::shared_ptr<const TapeDocument> HeldTape::ReadShowingProgress(const SoFar& sofar) {
    reading_ = true;
    const struct Done {
        bool& reading;
        ~Done() { reading = false; }
    } done{reading_};
    RecordingProgressDialog progress(progressOwner_);
    const RecordingProgress shown = progress.Progress();
    // The TZX tape the recording decodes into, as far as it has come.
    std::vector<std::uint8_t> found;
    tzx::WriteTzxSignature(found, 1, 20);
    bool grown = false;
    const auto take = [&found, &grown](const RecoveredBlock& block) {
        found.insert(found.end(), block.tzx.begin(), block.tzx.end());
        grown = true;
    };
    const auto tell = [&](double fraction) {
        if (grown && sofar) {
            grown = false;
            sofar(TapeDocumentFromBytes(location_,
                                        std::make_shared<const std::vector<std::uint8_t>>(found)));
        }
        return shown(fraction);
    };
    return std::make_shared<const TapeDocument>(
        ReadTapeDocument(location_, tell, sofar ? FoundBlocks(take) : FoundBlocks()));
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
    // Nothing held (no tape, or one that failed: its next action says why), or a read under way,
    // whose progress dialog lets the window's activation through.
    if (!document_ || reading_) return;
    try {
        Current();
    } catch (...) {
        // Nothing held now; the action that next asks for the tape reads it and shows why not.
    }
}

void HeldTape::Hold(std::shared_ptr<const TapeDocument> document) {
    document_ = std::move(document);
    inMemory_ = true;
    saved_ = false;
}

}  // namespace brisalto
