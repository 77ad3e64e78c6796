// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace brisalto {

inline constexpr std::size_t kScreenBytes = 6912;  // 6,144 bitmap bytes, 768 attributes
inline constexpr int kScreenWidth = 256;
inline constexpr int kScreenHeight = 192;

// One palette index (0..15, see kSpectrumPalette) per pixel, row by row from the top left.
using ScreenPixels = std::array<std::uint8_t, std::size_t(kScreenWidth) * kScreenHeight>;

// The Spectrum's colours as 0xRRGGBB: indexes 0..7 are black, blue, red, magenta, green, cyan,
// yellow and white; 8..15 the same with BRIGHT. Bright black is black, so 15 colours in all.
inline constexpr std::array<std::uint32_t, 16> kSpectrumPalette = {
    0x000000, 0x0000D7, 0xD70000, 0xD700D7, 0x00D700, 0x00D7D7, 0xD7D700, 0xD7D7D7,
    0x000000, 0x0000FF, 0xFF0000, 0xFF00FF, 0x00FF00, 0x00FFFF, 0xFFFF00, 0xFFFFFF,
};

// Decodes a screen as the Spectrum shows it, with FLASH in its first (unswapped) phase.
// Every byte value is valid, so nothing can fail.
void DecodeScreen(std::span<const std::uint8_t, kScreenBytes> screen,
                  ScreenPixels& pixels) noexcept;

}  // namespace brisalto
