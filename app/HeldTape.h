// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "TapeDocument.h"
#include "TapeLocation.h"

namespace brisalto {

// The tape document the window holds for the open tape: read once when the tape is opened, and
// read again only when its file's size or time stamp has changed since, so that listings,
// tooltips, the Block View and the player never go back to the file for an unchanged tape.
class HeldTape {
public:
    // Reads the tape at location and holds it; a failure travels out, and the location is still
    // the open one (its views then fail as opening it did).
    void Open(const TapeLocation& location);
    // Makes location the open tape without reading it: a file that turned out to be no tape.
    void Forget(const TapeLocation& location) {
        location_ = location;
        document_.reset();
    }
    const TapeLocation& Location() const noexcept { return location_; }
    // The held document, read again first when its file changed or could not be read before;
    // nullptr when no tape is open. A failure to read travels out (InOutError, ArchiveError...).
    std::shared_ptr<const TapeDocument> Current();

private:
    TapeLocation location_;
    std::shared_ptr<const TapeDocument> document_;
};

}  // namespace brisalto
