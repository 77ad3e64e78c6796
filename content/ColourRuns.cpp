// SPDX-License-Identifier: GPL-3.0-or-later
#include "ColourRuns.h"

#include <algorithm>

namespace brisalto {

namespace {

constexpr std::uint8_t kPaperCode = 0x11, kFlashCode = 0x12, kBrightCode = 0x13,
                       kInverseCode = 0x14;
constexpr std::uint8_t kKeep = 8, kContrast = 9;

// Black on the light colours (green to white), white on the dark ones.
std::uint8_t Contrasting(std::uint8_t colour) {
    return colour >= 4 ? 0 : 7;
}

struct Attributes {
    std::uint8_t ink = 0;
    std::uint8_t paper = 7;
    bool bright = false;
    bool inverse = false;
    bool flash = false;

    void Apply(const ColourCode& code) {
        const std::uint8_t value = code.value;
        if (code.code == kInkCode || code.code == kPaperCode) {
            std::uint8_t& colour = code.code == kInkCode ? ink : paper;
            const std::uint8_t other = code.code == kInkCode ? paper : ink;
            if (value < kKeep) colour = value;
            if (value == kContrast) colour = Contrasting(other);
            return;
        }
        if (value > 1) return;  // 8 keeps; anything else the ROM refuses
        if (code.code == kFlashCode) flash = value == 1;
        if (code.code == kBrightCode) bright = value == 1;
        if (code.code == kInverseCode) inverse = value == 1;
    }

    ColouredRun Run(std::size_t begin, std::size_t end) const {
        const std::uint8_t brightness = bright ? 8 : 0;
        return {begin, end, static_cast<std::uint8_t>((inverse ? paper : ink) + brightness),
                static_cast<std::uint8_t>((inverse ? ink : paper) + brightness), flash};
    }
};

}  // namespace

std::vector<ColouredRun> ColourRuns(std::size_t lineLength, std::span<const ColourCode> codes) {
    std::vector<ColouredRun> runs;
    Attributes attributes;
    for (std::size_t i = 0; i < codes.size(); ++i) {
        attributes.Apply(codes[i]);
        const std::size_t begin = std::min(codes[i].column, lineLength);
        const std::size_t end =
            i + 1 < codes.size() ? std::min(codes[i + 1].column, lineLength) : lineLength;
        if (begin < end) runs.push_back(attributes.Run(begin, end));
    }
    return runs;
}

}  // namespace brisalto
