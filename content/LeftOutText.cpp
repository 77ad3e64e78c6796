// SPDX-License-Identifier: GPL-3.0-or-later
#include "LeftOutText.h"

#include "BlockDetails.h"
#include "TzxBlockKinds.h"

namespace brisalto {

namespace {

// "Pure tone" as "pure tone", "CSW recording" as it is.
std::string InSentence(std::string_view name) {
    std::string text(name);
    const bool acronym = text.size() > 1 && text[1] >= 'A' && text[1] <= 'Z';
    if (!acronym && !text.empty() && text[0] >= 'A' && text[0] <= 'Z')
        text[0] = static_cast<char>(text[0] - 'A' + 'a');
    return text;
}

std::string KindName(std::uint8_t id, std::uint64_t count) {
    if (count == 1) return InSentence(TzxBlockName(id));
    return std::string(KindOf(id).plural);
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
