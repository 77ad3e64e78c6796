// SPDX-License-Identifier: GPL-3.0-or-later
// The built-in Spectrum face as Qt draws it at the pane's 16 pixels, against the ROM it was made
// from: every glyph, pixel for pixel, and not one grey pixel.
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "BasicKeywords.h"
#include "ZxCharacters.h"
#include "ZxFont.h"

namespace brisalto::testing {
namespace {

constexpr int kCell = 8;
constexpr int kScale = 2;              // 16 pixels: each pixel of the cell is 2x2 on the screen
constexpr int kBaseLine = 7;           // the cell's last row lies below it
constexpr int kCharacterSet = 0x3D00;  // the ROM's bitmaps of 0x20..0x7F

using Rom = std::vector<unsigned char>;

Rom ReadRom() {
    std::ifstream file(BRISALTO_SPECTRUM_ROM, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

// A cell as 8 lines of '#' (ink) and '.' (paper).
std::string RomCell(const Rom& rom, int code) {
    std::string picture;
    for (int row = 0; row < kCell; ++row) {
        const unsigned char bits =
            rom.at(static_cast<std::size_t>(kCharacterSet + (code - 0x20) * kCell + row));
        for (int column = 0; column < kCell; ++column) {
            picture += (bits & (0x80 >> column)) != 0 ? '#' : '.';
        }
        picture += '\n';
    }
    return picture;
}

// The Spectrum draws 0x80..0x8F from the code's bits: bit 0 the top right quadrant, bit 1 the
// top left, bit 2 the bottom right, bit 3 the bottom left.
std::string BlockCell(int code) {
    std::string picture;
    for (int row = 0; row < kCell; ++row) {
        for (int column = 0; column < kCell; ++column) {
            const bool top = row < kCell / 2;
            const bool right = column >= kCell / 2;
            const int bit = top ? (right ? 0 : 1) : (right ? 2 : 3);
            picture += ((code >> bit) & 1) != 0 ? '#' : '.';
        }
        picture += '\n';
    }
    return picture;
}

// The face's glyph for the code point, drawn black on white; '?' marks a cell pixel whose 2x2
// screen pixels are not all black or all white.
std::string DrawnCell(const QFont& font, char32_t codePoint) {
    QImage image(kCell * kScale, kCell * kScale, QImage::Format_Grayscale8);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setFont(font);
        painter.setPen(Qt::black);
        painter.drawText(QPoint(0, kBaseLine * kScale), QString::fromUcs4(&codePoint, 1));
    }
    std::string picture;
    for (int row = 0; row < kCell; ++row) {
        for (int column = 0; column < kCell; ++column) {
            int black = 0, white = 0;
            for (int y = row * kScale; y < (row + 1) * kScale; ++y) {
                for (int x = column * kScale; x < (column + 1) * kScale; ++x) {
                    const int grey = qGray(image.pixel(x, y));
                    black += grey == 0 ? 1 : 0;
                    white += grey == 255 ? 1 : 0;
                }
            }
            picture += black == kScale * kScale ? '#' : white == kScale * kScale ? '.' : '?';
        }
        picture += '\n';
    }
    return picture;
}

struct Placement {
    char32_t codePoint;
    int spectrumCode;
};

// Where each of the Spectrum's characters lies in the face.
std::vector<Placement> Placements() {
    std::vector<Placement> placements;
    for (int code = 0x20; code < 0x7F; ++code) {
        placements.push_back({static_cast<char32_t>(code), code});  // 0x5E, 0x60: the ROM's
    }
    const std::vector<Placement> others = {
        {0x2191, 0x5E}, {0x00A3, 0x60}, {0x00A9, 0x7F},  // up arrow, pound, copyright
        {0x0020, 0x80}, {0x259D, 0x81}, {0x2598, 0x82}, {0x2580, 0x83},
        {0x2597, 0x84}, {0x2590, 0x85}, {0x259A, 0x86}, {0x259C, 0x87},
        {0x2596, 0x88}, {0x259E, 0x89}, {0x258C, 0x8A}, {0x259B, 0x8B},
        {0x2584, 0x8C}, {0x259F, 0x8D}, {0x2599, 0x8E}, {0x2588, 0x8F},
    };
    placements.insert(placements.end(), others.begin(), others.end());
    return placements;
}

TEST(SpeccyFont, DrawsEveryCharacterAsTheRomAndTheBlockBitsDoSharply) {
    const Rom rom = ReadRom();
    ASSERT_EQ(rom.size(), 16384u) << BRISALTO_SPECTRUM_ROM;
    QFont font(kBuiltInSpeccyFont);
    font.setPixelSize(kCell * kScale);
    ASSERT_EQ(QFontInfo(font).family(), kBuiltInSpeccyFont);

    int compared = 0;
    for (const Placement& placement : Placements()) {
        const std::string wanted = placement.spectrumCode < 0x80
                                       ? RomCell(rom, placement.spectrumCode)
                                       : BlockCell(placement.spectrumCode);
        EXPECT_EQ(DrawnCell(font, placement.codePoint), wanted)
            << std::hex << "U+" << static_cast<unsigned>(placement.codePoint) << " (Spectrum 0x"
            << placement.spectrumCode << ")";
        ++compared;
    }
    EXPECT_EQ(compared, 95 + 3 + 16);  // ASCII, its two second places and (c); the blocks
}

// The views print a Spectrum character as SpectrumCharacter gives it; the built-in face must hold
// that where the test above finds it drawn as the Spectrum draws it: a printable code or a block
// graphic at its place in the face, a UDG (which has no fixed picture) with glyphs the face has.
// Compared by code point, not drawn again: the drawing is the test above's.
TEST(SpeccyFont, DrawsEveryCharacterAsTheViewsPrintIt) {
    QFont font(kBuiltInSpeccyFont);
    font.setPixelSize(kCell * kScale);
    const QFontMetrics metrics(font);
    std::map<int, char32_t> placed;
    // The later place of 0x5E and 0x60 is the one the views print (the arrow, the pound).
    for (const Placement& placement : Placements())
        placed[placement.spectrumCode] = placement.codePoint;
    for (int code = 0x20; code < kFirstKeywordToken; ++code) {
        const QString printed =
            QString::fromStdString(std::string(SpectrumCharacter(static_cast<std::uint8_t>(code))));
        SCOPED_TRACE(std::to_string(code) + ": " + printed.toStdString());
        if (code < 0x90) {
            const QList<uint> points = printed.toUcs4();
            ASSERT_EQ(points.size(), 1);
            EXPECT_EQ(points.front(), placed.at(code));
        } else {
            EXPECT_FALSE(printed.isEmpty());
            for (const QChar c : printed) EXPECT_TRUE(metrics.inFont(c)) << int(c.unicode());
        }
    }
}

}  // namespace
}  // namespace brisalto::testing
