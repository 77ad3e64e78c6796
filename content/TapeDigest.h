// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
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
// The same of bytes already read (a tape document's).
TapeDigest DigestOf(std::span<const std::uint8_t> bytes);

}  // namespace brisalto
