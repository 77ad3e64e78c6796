// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeldTape.h"

#include "OsFile.h"

namespace brisalto {

void HeldTape::Open(const TapeLocation& location) {
    location_ = location;
    document_.reset();
    document_ = std::make_shared<const TapeDocument>(ReadTapeDocument(location));
}

std::shared_ptr<const TapeDocument> HeldTape::Current() {
    if (location_.path.empty()) return nullptr;
    // A look at the file's stamp, not an open: an unchanged tape is not read again.
    if (!document_ || StampOfFile(location_.path) != document_->stamp)
        document_ = std::make_shared<const TapeDocument>(ReadTapeDocument(location_));
    return document_;
}

}  // namespace brisalto
