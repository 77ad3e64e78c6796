// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZxCharacters.h"

#include <array>

#include "BasicKeywords.h"

namespace brisalto {

namespace {

constexpr std::uint8_t kFirstBlockGraphic = 0x80;
constexpr std::uint8_t kFirstUdg = 0x90;

// Block graphic 0x80 + n lights the quarters of n's bits: 1 top right, 2 top left,
// 4 bottom right, 8 bottom left. The built-in font draws these code points (make-zx-font.py).
constexpr std::array<std::string_view, 16> kBlockGraphics = {
    " ", "▝", "▘", "▀", "▗", "▐", "▚", "▜", "▖", "▞", "▌", "▛", "▄", "▟", "▙", "█",
};

// The 19 UDGs before the first keyword token, two characters each.
constexpr std::string_view kUdgs = "\\A\\B\\C\\D\\E\\F\\G\\H\\I\\J\\K\\L\\M\\N\\O\\P\\Q\\R\\S";
static_assert(kUdgs.size() == 2 * (kFirstKeywordToken - kFirstUdg));

}  // namespace

std::string_view SpectrumCharacter(std::uint8_t code) {
    static constexpr std::string_view kAscii =
        " !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
        "abcdefghijklmnopqrstuvwxyz{|}~";
    static_assert(kAscii.size() == 0x7F - 0x20);
    switch (code) {
        case 0x5E: return "↑";
        case 0x60: return "£";
        case 0x7F: return "©";
        default: break;
    }
    if (code >= 0x20 && code < 0x7F) return kAscii.substr(code - 0x20, 1);
    if (code >= kFirstBlockGraphic && code < kFirstUdg)
        return kBlockGraphics[code - kFirstBlockGraphic];
    if (code >= kFirstUdg && code < kFirstKeywordToken)
        return kUdgs.substr(2 * (code - kFirstUdg), 2);
    return {};
}

std::string SpectrumPrintable(std::uint8_t code) {
    if (code >= 0x20 && code <= 0x7F) return std::string(SpectrumCharacter(code));
    return ".";
}

void AppendSpectrumText(std::string& text, std::span<const std::uint8_t> bytes) {
    for (const std::uint8_t code : bytes) {
        if (const std::string_view character = SpectrumCharacter(code); !character.empty()) {
            text += character;
        } else if (code >= kFirstKeywordToken) {
            text += BasicKeywords[code - kFirstKeywordToken];
        } else {
            text += "\\{" + std::to_string(code) + "}";
        }
    }
}

}  // namespace brisalto
