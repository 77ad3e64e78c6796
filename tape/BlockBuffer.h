// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace brisalto {

// One tape block, or one stored program, with its flag byte at index 0.
inline constexpr std::size_t kBlockBufferSize = 65501;
using BlockBuffer = std::array<std::uint8_t, kBlockBufferSize>;

}  // namespace brisalto
