// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include "TapeDocument.h"

namespace brisalto {

// What the Tape Information dialog says of the tape document, through the same rows as the
// grid's: its path (and entry), its size, its blocks by kind, the checksum summary, and for a TZX
// its version and its text blocks in words. A damaged tape is summed up as far as it could be
// read, and so is one whose read failed partway, with the failure beside it.
QString TapeInformationText(const TapeDocument& tape);

}  // namespace brisalto
