// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "TapeLocation.h"

namespace brisalto {

// Reads the archive entry at location into memory, from the archive as it is now. Fails with
// ArchiveError when the archive is damaged, the entry is encrypted, packed by a method not
// supported, larger than kMaxArchiveEntryBytes or no longer there; file-layer failures of the
// archive itself are InOutError, as for a bare tape.
std::vector<std::uint8_t> ReadArchiveEntry(const TapeLocation& location);

}  // namespace brisalto
