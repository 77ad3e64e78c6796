// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecoveredBlockText.h"

#include <algorithm>
#include <cstdio>
#include <span>
#include <string_view>

#include "CodePageText.h"
#include "HeaderWording.h"
#include "TzxBlockKinds.h"

namespace brisalto {

namespace {

constexpr std::size_t kHeaderBody = 19;  // flag 0, type, name, three words, checksum

std::string Seconds(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f s", std::max(0.0, seconds));
    return text;
}

std::uint16_t Word(std::span<const std::uint8_t> bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes[at] | bytes[at + 1] << 8);
}

}  // namespace

std::string RecoveredBlockText(const RecoveredBlock& block) {
    std::string text = Seconds(block.seconds) + ": ";
    if (block.tzx.empty()) return text + "nothing";
    const BlockKind& kind = KindOf(block.tzx.front());
    if (block.tzx.front() == tzx::kTextDescription && block.tzx.size() >= 2) {
        // The decoder's own note (on damage): its words say more than the kind's name.
        const std::size_t length = std::min<std::size_t>(block.tzx[1], block.tzx.size() - 2);
        return text + CodePageToUtf8(std::string_view(
                          reinterpret_cast<const char*>(block.tzx.data()) + 2, length));
    }
    if (!block.data) return text + std::string(kind.name);

    // The body (flag, data, checksum) follows the ID and the kind's fixed fields.
    const std::span<const std::uint8_t> whole(block.tzx);
    const std::size_t start = std::min<std::size_t>(whole.size(), 1u + kind.fixedSize);
    const std::span<const std::uint8_t> body =
        whole.subspan(start, std::min<std::size_t>(whole.size() - start, block.dataLength));

    if (body.size() == kHeaderBody && body[0] == 0 && block.checksumGood && !block.broke) {
        const std::string name =
            CodePageToUtf8(std::string_view(reinterpret_cast<const char*>(body.data()) + 2, 10));
        const HeaderFacts header{body[1], name, Word(body, 12), Word(body, 14), Word(body, 16)};
        return text + HeaderWording(header).front();
    }
    if (block.tzx.front() == tzx::kTurboSpeed) text += "turbo ";
    text += "data block";
    if (!body.empty()) text += ", flag " + std::to_string(body[0]);
    if (block.broke) {
        return text + ", damaged at byte " + std::to_string(block.broke->byte) + " (" +
               Seconds(block.broke->seconds) + ")";
    }
    const std::size_t data = body.size() < 2 ? 0 : body.size() - 2;
    return text + ", " + std::to_string(data) + (data == 1 ? " byte" : " bytes") +
           (block.checksumGood ? ", checksum good" : ", checksum bad");
}

}  // namespace brisalto
