// SPDX-License-Identifier: GPL-3.0-or-later
#include "SpectrumCharacters.h"

#include <array>
#include <string_view>

#include "BasicKeywords.h"
#include "CodePageText.h"

namespace brisalto {

namespace {

constexpr std::uint8_t kFirstBlockGraphic = 0x80;
constexpr std::uint8_t kFirstUdg = 0x90;

// Block graphic 0x80 + n lights the quarters of n's bits: 1 top right, 2 top left,
// 4 bottom right, 8 bottom left.
constexpr std::array<std::string_view, 16> kBlockGraphics = {
    " ", "▝", "▘", "▀", "▗", "▐", "▚", "▜", "▖", "▞", "▌", "▛", "▄", "▟", "▙", "█",
};

}  // namespace

std::string SpectrumPrintable(std::uint8_t code) {
    switch (code) {
        case 0x5E: return "↑";
        case 0x60: return "£";
        case 0x7F: return "©";
        default: break;
    }
    if (code >= 0x20 && code < 0x7F) return std::string(1, static_cast<char>(code));
    return ".";
}

void AppendSpectrumText(std::string& text, std::span<const std::uint8_t> bytes) {
    constexpr char32_t kCircledCapitalA = 0x24B6;
    for (const std::uint8_t code : bytes) {
        if (code >= 0x20 && code <= 0x7F) {
            text += SpectrumPrintable(code);
        } else if (code >= kFirstBlockGraphic && code < kFirstUdg) {
            text += kBlockGraphics[code - kFirstBlockGraphic];
        } else if (code >= kFirstUdg && code < kFirstKeywordToken) {
            AppendUtf8(text, kCircledCapitalA + (code - kFirstUdg));
        } else if (code >= kFirstKeywordToken) {
            text += BasicKeywords[code - kFirstKeywordToken];
        } else {
            text += "\\{" + std::to_string(code) + "}";
        }
    }
}

}  // namespace brisalto
