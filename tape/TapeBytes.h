// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "BlockBuffer.h"

namespace brisalto {

// The 16-bit little-endian value of two tape bytes.
constexpr std::uint16_t MakeWordLH(std::uint8_t lo, std::uint8_t hi) noexcept {
    return static_cast<std::uint16_t>(lo | (hi << 8));
}

// The count bytes from start on, as characters of the same codes, untrimmed and untranslated.
// The view points into buffer; the caller keeps start + count within it.
inline std::string_view BytesToStr(const BlockBuffer& buffer, std::size_t start,
                                   std::size_t count) noexcept {
    return {reinterpret_cast<const char*>(buffer.data() + start), count};
}

}  // namespace brisalto
