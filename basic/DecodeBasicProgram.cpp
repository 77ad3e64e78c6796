// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecodeBasicProgram.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <string>

#include "BasicKeywords.h"
#include "LineSink.h"
#include "PadStr.h"

namespace brisalto {

namespace {

// A stored program is a sequence of lines: number (2 bytes, big-endian), length L (2 bytes,
// little-endian, counting the text and its closing 0x0D), then the L text bytes. Since the
// bytes start at the block's flag, program byte k sits at index k + 1, and a line starting
// after index p has its number at p+1..p+2, its length at p+3..p+4 and text from p+5 to its
// closing 0x0D at p+L+4, which is never examined.
constexpr std::uint8_t kNumberMarker = 0x0E;  // followed by the number's 5-byte hidden form
constexpr std::size_t kHiddenNumberSize = 5;
constexpr std::uint8_t kCopyrightSign = 0xA9;  // how the single-byte code page shows 0x7F

void AppendCharacterCode(std::string& text, std::uint8_t c) {
    // A graphics byte is taken to stand inside a string literal, which this closes and reopens.
    char digits[4];
    const auto end = std::to_chars(digits, digits + sizeof digits, c).ptr;
    text += "\"+CHR ";
    text.append(digits, end);
    text += "+\"";
}

// Appends the text of the bytes from index begin up to end; stops early when a hidden number's
// skip would pass end.
void DecodeLineText(std::span<const std::uint8_t> bytes, std::size_t begin, std::size_t end,
                    std::string& text) {
    for (std::size_t i = begin; i < end; ++i) {
        const std::uint8_t c = bytes[i];
        if (c >= 0x20 && c <= 0x7E) {
            text += static_cast<char>(c);
        } else if (c == 0x7F) {
            text += static_cast<char>(kCopyrightSign);
        } else if (c >= 0x80 && c < kFirstKeywordToken) {
            AppendCharacterCode(text, c);
        } else if (c >= kFirstKeywordToken) {
            text += ' ';
            text += BasicKeywords[c - kFirstKeywordToken];
            text += ' ';
        } else if (c == kNumberMarker) {
            i += kHiddenNumberSize;
        }
        // Other control codes, and their parameter bytes below 0x20, show nothing.
    }
}

}  // namespace

void DecodeBasicProgram(std::span<const std::uint8_t> bytes, std::uint16_t length,
                        LineSink& lines) {
    const std::size_t kept = bytes.size();
    std::size_t p = 0;
    std::string text;
    // p + 5 <= kept: the line's number and length bytes were read.
    while (p + 5 <= kept) {
        const unsigned number = unsigned(bytes[p + 1]) << 8 | bytes[p + 2];
        const std::size_t lineLength = std::size_t(bytes[p + 3]) | std::size_t(bytes[p + 4]) << 8;
        const std::size_t lineEnd = p + lineLength + 4;

        text = IntToPadStr(number, 4);
        text += ' ';
        DecodeLineText(bytes, p + 5, std::min(lineEnd, kept), text);
        lines.AddLine(text);

        // A line running past the kept bytes is the last one that can be decoded; p never
        // reaches 65536, so it is also the running 16-bit total of line sizes.
        if (lineEnd > kept || lineEnd >= length) break;
        p = lineEnd;
    }
}

}  // namespace brisalto
