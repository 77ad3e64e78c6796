// SPDX-License-Identifier: GPL-3.0-or-later
#include "LeftOutText.h"

#include <array>

#include "BlockDetails.h"

namespace brisalto {

namespace {

struct Plural {
    std::uint8_t id;
    std::string_view name;
};

// Names whose plural is not the name and an "s" (before a bracket).
constexpr std::array<Plural, 12> kPlurals = {{
    {0x10, "standard speed data blocks"},
    {0x11, "turbo speed data blocks"},
    {0x14, "pure data blocks"},
    {0x16, "C64 ROM data blocks (deprecated)"},
    {0x17, "C64 turbo data blocks (deprecated)"},
    {0x19, "generalized data blocks"},
    {0x23, "jumps to block"},
    {0x27, "returns from sequence"},
    {0x2A, "stops in 48K mode"},
    {0x32, "archive information blocks"},
    {0x34, "emulation information blocks (deprecated)"},
    {0x35, "custom information blocks"},
}};

// "Pure tone" as "pure tone", "CSW recording" as it is.
std::string InSentence(std::string_view name) {
    std::string text(name);
    const bool acronym = text.size() > 1 && text[1] >= 'A' && text[1] <= 'Z';
    if (!acronym && !text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string KindName(std::uint8_t id, std::uint64_t count) {
    const std::string one = InSentence(TzxBlockName(id));
    if (count == 1) return one;
    for (const Plural& plural : kPlurals) {
        if (plural.id == id) return std::string(plural.name);
    }
    if (id == 0x5A) return one;  // glue is glue, however much
    const std::size_t bracket = one.find(" (");
    if (bracket == std::string::npos) return one + 's';
    return one.substr(0, bracket) + 's' + one.substr(bracket);
}

}  // namespace

std::string LeftOutText(std::span<const LeftOutBlocks> leftOut) {
    std::string text;
    for (const LeftOutBlocks& kind : leftOut) {
        if (!text.empty()) text += ", ";
        text += std::to_string(kind.count) + ' ';
        if (kind.tooLong) {
            text += InSentence(TzxBlockName(kind.id)) + (kind.count == 1 ? " block" : " blocks") +
                    " longer than 65,535 bytes";
        } else {
            text += KindName(kind.id, kind.count);
        }
    }
    return text;
}

std::string LeftOutSentence(std::span<const LeftOutBlocks> leftOut) {
    if (leftOut.empty()) return {};
    return "Left out what a TAP file cannot hold: " + LeftOutText(leftOut);
}

}  // namespace brisalto
