// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include <span>

namespace brisalto {

// The 16-bit little-endian value of two tape bytes.
constexpr std::uint16_t MakeWordLH(std::uint8_t lo, std::uint8_t hi) noexcept {
    return static_cast<std::uint16_t>(lo | (hi << 8));
}

// The count bytes from start on, as characters of the same codes, untrimmed and untranslated.
// The view points into bytes; the caller keeps start + count within them.
inline std::string_view BytesToStr(std::span<const std::uint8_t> bytes, std::size_t start,
                                   std::size_t count) noexcept {
    return {reinterpret_cast<const char*>(bytes.data() + start), count};
}

}  // namespace brisalto
