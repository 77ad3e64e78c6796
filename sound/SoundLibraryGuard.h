// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace brisalto {

// A block of a TZX tape that libspectrum would read outside of, or sound without end.
struct UnsoundBlock {
    std::size_t offset = 0;  // of the block's ID byte, in the bytes checked
    std::string reason;      // what is wrong with it, in words for the user
};

// Walks a TZX tape's blocks (signature and version first) as libspectrum's reader splits them,
// and returns the first that it cannot sound safely, or none. Where libspectrum would refuse the
// tape itself (a block it does not know, or one cut short), the walk stops and finds none: its
// refusal is safe. A generalized data block of no data symbols whose data alphabet size reads
// 0 (256) gets 1 written instead: the table is absent either way, but libspectrum takes the
// logarithm of the 0 it keeps for it.
std::optional<UnsoundBlock> FindUnsoundBlock(std::span<std::uint8_t> tzx);

}  // namespace brisalto
