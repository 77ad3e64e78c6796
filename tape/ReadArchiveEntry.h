// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "TapeLocation.h"

namespace brisalto {

// The archive entry at location, from the archive as it is now: the copy kept from the last
// read of it while the archive's size and modification time are as they were then, else read
// into memory again (and kept instead). Fails with
// ArchiveError when the archive is damaged, the entry is encrypted, packed by a method not
// supported, larger than kMaxArchiveEntryBytes or no longer there; file-layer failures of the
// archive itself are InOutError, as for a bare tape.
std::shared_ptr<const std::vector<std::uint8_t>> ReadArchiveEntry(const TapeLocation& location);

}  // namespace brisalto
