// SPDX-License-Identifier: GPL-3.0-or-later
// Hand-made screens whose pixels are known one by one: the addresses below are worked out by
// hand from the Spectrum's screen layout, not by the decoder's formula.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "DecodeScreen.h"

namespace brisalto {
namespace {

constexpr std::size_t kAttributes = 0x1800;

struct Poke {
    std::size_t address;
    std::uint8_t value;
};
struct Pixel {
    int x;
    int y;
    std::uint8_t index;  // palette index expected there
};
struct ScreenCase {
    std::string name;
    std::vector<Poke> pokes;  // onto an all-zero screen
    std::vector<Pixel> pixels;
};

std::uint8_t At(const ScreenPixels& pixels, int x, int y) {
    return pixels[std::size_t(y) * kScreenWidth + std::size_t(x)];
}

TEST(DecodeScreen, HandMadeScreens) {
    const std::vector<ScreenCase> cases = {
        {"first byte of the top third is the top left corner",
         {{0x0000, 0x80}, {kAttributes, 0x07}},  // INK 7 on PAPER 0
         {{0, 0, 7}, {1, 0, 0}, {0, 1, 0}, {8, 0, 0}}},
        {"the next address is the next byte along the row",
         {{0x0001, 0x40}, {kAttributes + 1, 0x02}},
         {{9, 0, 2}, {8, 0, 0}, {0, 0, 0}}},
        {"plus 0x100 is the next pixel row of the same character",
         {{0x0100, 0x80}, {kAttributes, 0x04}},
         {{0, 1, 4}, {0, 0, 0}, {0, 8, 0}}},
        {"plus 0x20 is the next character row",
         {{0x0020, 0x80}, {kAttributes + 32, 0x05}},
         {{0, 8, 5}, {0, 1, 0}, {0, 0, 0}}},
        {"the middle third starts at 0x800, its cells at 0x1900",
         {{0x0800, 0x01}, {kAttributes + 0x100, 0x0A}},  // INK 2 on PAPER 1
         {{7, 64, 2}, {6, 64, 1}, {7, 63, 0}, {7, 0, 0}}},
        {"the last byte of the bottom third is the bottom right corner",
         {{0x17FF, 0x01}, {0x1AFF, 0x38}},  // INK 0 on PAPER 7
         {{255, 191, 0}, {254, 191, 7}, {255, 190, 7}, {255, 184, 7}, {255, 183, 0}}},
        {"BRIGHT lights INK and PAPER; FLASH shows its first phase, unswapped",
         {{0x0000, 0x80}, {kAttributes, 0xD6}},  // FLASH BRIGHT, PAPER 2, INK 6
         {{0, 0, 14}, {1, 0, 10}, {7, 7, 10}, {8, 0, 0}}},
        {"BRIGHT black stays black",
         {{0x0000, 0xFF}, {kAttributes, 0x78}},  // BRIGHT PAPER 7 INK 0
         {{0, 0, 8}, {0, 1, 15}}},
    };
    for (const ScreenCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::uint8_t> screen(kScreenBytes, 0);
        for (const Poke& poke : c.pokes) screen[poke.address] = poke.value;
        ScreenPixels pixels;
        DecodeScreen(std::span<const std::uint8_t, kScreenBytes>(screen.data(), kScreenBytes),
                     pixels);
        for (const Pixel& pixel : c.pixels) {
            EXPECT_EQ(At(pixels, pixel.x, pixel.y), pixel.index)
                << "pixel " << pixel.x << "," << pixel.y;
        }
        // Every pixel not named and not in a poked byte's cell is paper 0 of a zero attribute.
        EXPECT_EQ(At(pixels, 128, 100), 0);
    }
}

// The first cell row coloured cell by cell: INK c%8 with BRIGHT for c>=8 in cells 0..15 with
// every bit set, and PAPER likewise in cells 16..31 with no bits set.
TEST(DecodeScreen, EveryColourAsInkAndAsPaper) {
    std::vector<std::uint8_t> screen(kScreenBytes, 0);
    for (std::size_t line = 0; line < 8; ++line) {
        std::fill_n(screen.begin() + std::ptrdiff_t(line * 0x100), 16, std::uint8_t{0xFF});
    }
    for (std::uint8_t colour = 0; colour < 16; ++colour) {
        const auto bright = std::uint8_t(colour >= 8 ? 0x40 : 0);
        screen[kAttributes + colour] = std::uint8_t(bright | (colour & 7));
        screen[kAttributes + 16 + colour] = std::uint8_t(bright | (colour & 7) << 3);
    }
    ScreenPixels pixels;
    DecodeScreen(std::span<const std::uint8_t, kScreenBytes>(screen.data(), kScreenBytes), pixels);
    for (int colour = 0; colour < 16; ++colour) {
        EXPECT_EQ(At(pixels, colour * 8 + 3, 5), colour) << "INK " << colour;
        EXPECT_EQ(At(pixels, 128 + colour * 8 + 3, 5), colour) << "PAPER " << colour;
    }
}

TEST(DecodeScreen, PaletteHasFifteenColoursAndBrightBlackIsBlack) {
    const std::set<std::uint32_t> distinct(kSpectrumPalette.begin(), kSpectrumPalette.end());
    EXPECT_EQ(distinct.size(), 15u);
    EXPECT_EQ(kSpectrumPalette[8], 0x000000u);
    EXPECT_EQ(kSpectrumPalette[2], 0xD70000u);   // red
    EXPECT_EQ(kSpectrumPalette[12], 0x00FF00u);  // bright green
    EXPECT_EQ(kSpectrumPalette[15], 0xFFFFFFu);
}

}  // namespace
}  // namespace brisalto
