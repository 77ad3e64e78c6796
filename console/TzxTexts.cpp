// SPDX-License-Identifier: GPL-3.0-or-later
#include "TzxTexts.h"

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

#include "CodePageText.h"

namespace brisalto {

namespace {

constexpr std::uint8_t kTextDescription = 0x30;
constexpr std::uint8_t kArchiveInfo = 0x32;

struct ArchiveKind {
    std::uint8_t id;
    std::string_view key;
    std::string_view label;
};

constexpr std::array<ArchiveKind, 10> kArchiveKinds = {{
    {0x00, "title", "Title"},
    {0x01, "publisher", "Publisher"},
    {0x02, "authors", "Authors"},
    {0x03, "year", "Year"},
    {0x04, "language", "Language"},
    {0x05, "type", "Type"},
    {0x06, "price", "Price"},
    {0x07, "protection", "Protection"},
    {0x08, "origin", "Origin"},
    {0xFF, "comment", "Comment"},
}};

// TZX texts end their lines with 0x0D (some writers add 0x0A after it).
std::string TextLines(std::span<const std::uint8_t> bytes) {
    std::string single;
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (bytes[i] == 0x0D) {
            single += '\n';
            if (i + 1 < bytes.size() && bytes[i + 1] == 0x0A) ++i;
        } else {
            single += static_cast<char>(bytes[i]);
        }
    }
    while (!single.empty() && single.back() == '\n') single.pop_back();
    return CodePageToUtf8(single);
}

// The count bytes from begin, or those of them within bytes.
std::span<const std::uint8_t> Within(std::span<const std::uint8_t> bytes, std::size_t begin,
                                     std::size_t count) {
    if (begin >= bytes.size()) return {};
    return bytes.subspan(begin, std::min(count, bytes.size() - begin));
}

// 0x32: length (2 bytes, little-endian), field count, then per field: kind, length, text.
void ReadArchiveInfo(std::span<const std::uint8_t> bytes, std::vector<ArchiveField>& fields) {
    if (bytes.size() < 3) return;
    const unsigned count = bytes[2];
    std::size_t p = 3;
    for (unsigned field = 0; field < count; ++field) {
        if (bytes.size() - p < 2) return;  // no room for another field's kind and length
        const std::uint8_t id = bytes[p];
        const std::size_t length = bytes[p + 1];
        const auto text = Within(bytes, p + 2, length);
        p += 2 + text.size();
        const auto kind = std::find_if(kArchiveKinds.begin(), kArchiveKinds.end(),
                                       [id](const ArchiveKind& k) { return k.id == id; });
        if (kind == kArchiveKinds.end()) continue;
        const bool seen = std::any_of(fields.begin(), fields.end(),
                                      [kind](const ArchiveField& f) { return f.key == kind->key; });
        if (!seen) fields.push_back({kind->key, kind->label, TextLines(text)});
    }
}

}  // namespace

TzxTexts ReadTzxTexts(const std::vector<TzxTextBlock>& blocks) {
    TzxTexts texts;
    for (const TzxTextBlock& block : blocks) {
        const std::span<const std::uint8_t> bytes(block.bytes);
        if (block.id == kArchiveInfo) {
            ReadArchiveInfo(bytes, texts.archive);
        } else if (block.id == kTextDescription && !bytes.empty()) {
            // 0x30: length, text.
            texts.descriptions.push_back(TextLines(Within(bytes, 1, bytes[0])));
        }
    }
    return texts;
}

}  // namespace brisalto
