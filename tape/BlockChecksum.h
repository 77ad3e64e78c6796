// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace brisalto {

// A block's last body byte and the XOR of the body bytes before it: equal on a good block.
struct BlockChecksum {
    std::uint8_t stored = 0;
    std::uint8_t computed = 0;
    bool Good() const noexcept { return stored == computed; }
};

}  // namespace brisalto
