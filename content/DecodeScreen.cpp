// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecodeScreen.h"

#include <bit>
#include <cstring>

namespace brisalto {

namespace {

// For each bitmap byte, eight pixel bytes of 0xFF where its bit is set, leftmost bit first in
// memory, so that a byte's pixels are chosen between INK and PAPER eight at a time.
constexpr std::array<std::uint64_t, 256> MakeInkMasks() {
    std::array<std::uint64_t, 256> masks{};
    for (std::size_t bits = 0; bits < 256; ++bits) {
        std::array<std::uint8_t, 8> pixels{};
        for (std::size_t bit = 0; bit < 8; ++bit) {
            pixels[bit] = (bits >> (7 - bit) & 1) ? 0xFF : 0x00;
        }
        masks[bits] = std::bit_cast<std::uint64_t>(pixels);  // in memory order, as copied out
    }
    return masks;
}
constexpr std::array<std::uint64_t, 256> kInkMasks = MakeInkMasks();
constexpr std::uint64_t kEveryByte = 0x0101010101010101;

}  // namespace

// The bitmap is 6,144 bytes, eight pixels a byte with the leftmost in bit 7, in three thirds of
// 64 pixel rows. Within a third the address bits are interleaved: pixel row y lives at
//   (y bits 7..6) << 11 | (y bits 2..0) << 8 | (y bits 5..3) << 5 | byte column
// so consecutive addresses run along a row, then to the same row of the next character line.
// Then 768 attribute bytes, one per 8x8 cell, row by row: bit 7 FLASH, bit 6 BRIGHT,
// bits 5..3 PAPER, bits 2..0 INK.
void DecodeScreen(std::span<const std::uint8_t, kScreenBytes> screen,
                  ScreenPixels& pixels) noexcept {
    constexpr std::size_t kBitmapBytes = 6144;
    constexpr std::size_t kColumns = kScreenWidth / 8;
    std::uint8_t* out = pixels.data();
    for (std::size_t y = 0; y < std::size_t(kScreenHeight); ++y) {
        const std::size_t rowAddress = (y & 0xC0) << 5 | (y & 0x07) << 8 | (y & 0x38) << 2;
        const std::size_t attributeRow = kBitmapBytes + (y / 8) * kColumns;
        for (std::size_t column = 0; column < kColumns; ++column) {
            const std::uint8_t attribute = screen[attributeRow + column];
            const auto bright = static_cast<std::uint8_t>(attribute & 0x40 ? 8 : 0);
            const auto ink = static_cast<std::uint8_t>(bright | (attribute & 0x07));
            const auto paper = static_cast<std::uint8_t>(bright | (attribute >> 3 & 0x07));
            const std::uint64_t mask = kInkMasks[screen[rowAddress + column]];
            const std::uint64_t eight = (ink * kEveryByte & mask) | (paper * kEveryByte & ~mask);
            std::memcpy(out, &eight, sizeof eight);
            out += 8;
        }
    }
}

}  // namespace brisalto
