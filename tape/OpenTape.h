// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <vector>

#include "ScanDetails.h"
#include "ScanTape.h"
#include "TapeBlock.h"
#include "TapeLocation.h"

namespace brisalto {

// A tape opened once: where it is, what it is and its blocks in file order, every block of every
// kind with everything it holds (the long parts of blocks in bounded form). The views of a tape
// (the catalogue's rows, the sound, a block's details) are made from it; a block's bytes are
// read again through ReadBlockBody, which says whether the tape changed since.
struct OpenedTape {
    TapeLocation location;
    std::optional<TzxVersion> tzx;  // set for a TZX tape
    std::vector<TapeBlock> blocks;
    ScanResult result = ScanResult::Completed;  // Damaged: the blocks up to the damage
};

// The most bytes of blocks' counted parts an opened tape keeps in all; past it, blocks keep
// their fixed fields only (a hostile tape of a million text blocks stays small).
inline constexpr std::uint64_t kMaxKeptParts = 16u << 20;

// Opens the tape at location and reads all its blocks, with ScanTape's block cap, damaged
// result and failures (which travel out).
OpenedTape OpenTape(const TapeLocation& location);

}  // namespace brisalto
