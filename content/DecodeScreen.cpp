#include "DecodeScreen.h"

namespace brisalto {

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
            const std::uint8_t bits = screen[rowAddress + column];
            for (int bit = 7; bit >= 0; --bit) *out++ = (bits >> bit & 1) ? ink : paper;
        }
    }
}

}  // namespace brisalto
