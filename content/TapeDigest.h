// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

#include "TapeLocation.h"

namespace brisalto {

// A tape's size and SHA-1, by which copies of one tape are found across a collection (for a
// tape inside an archive, of its unpacked bytes). Failures travel out as TapeFile's do.
struct TapeDigest {
    std::uint64_t size = 0;
    std::string sha1;
};

TapeDigest ReadTapeDigest(const TapeLocation& location);

}  // namespace brisalto
