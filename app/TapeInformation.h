// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "TapeLocation.h"

namespace brisalto {

// What the Tape Information dialog says of the tape at tape, read from it now through the same
// scan as the grid's: its path (and entry), its size, its blocks by kind, the checksum summary,
// and for a TZX its version and its text blocks in words. Reading failures travel out as the
// scan raises them; a damaged tape is summed up as far as it could be read.
QString TapeInformationText(const TapeLocation& tape);

}  // namespace brisalto
