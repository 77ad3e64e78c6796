// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "CatalogueText.h"
#include "TapeScan.h"

namespace brisalto {

// One tape as a JSON object: its file and archive entry (null for a bare tape), how its scan ended
// ("completed", "damaged" or "failed", with the message), its TZX version, and its rows with every
// field in full: the grid's cells (null where empty), the row
// number, the full file position, the flag, the body length and the checksum state; then a TZX
// tape's archive information and text descriptions. Handed to write in pieces, so that a tape
// of a million rows is never all in memory as text.
void WriteCatalogueJson(const ConsoleTape& tape, const TapeScan& scan, const TextWriter& write);

}  // namespace brisalto
