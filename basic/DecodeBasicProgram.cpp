// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecodeBasicProgram.h"

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <string>

#include "BasicKeywords.h"
#include "LineSink.h"
#include "PadStr.h"
#include "ZxCharacters.h"
#include "ZxNumber.h"

namespace brisalto {

namespace {

// A stored program is a sequence of lines: number (2 bytes, big-endian), length L (2 bytes,
// little-endian, counting the text and its closing 0x0D), then the L text bytes. Since the
// bytes start at the block's flag, program byte k sits at index k + 1, and a line starting
// after index p has its number at p+1..p+2, its length at p+3..p+4 and text from p+5 to its
// closing 0x0D at p+L+4, which is never examined.
constexpr std::uint8_t kNumberMarker = 0x0E;  // followed by the number's 5-byte hidden form
constexpr std::size_t kHiddenNumberSize = 5;
constexpr std::uint8_t kDefFnToken = 0xCE;
constexpr std::uint8_t kCopyrightSign = 0xA9;  // how the single-byte code page shows 0x7F

void AppendCharacterCode(std::string& text, std::uint8_t c) {
    // A graphics byte is taken to stand inside a string literal, which this closes and reopens.
    char digits[4];
    const auto end = std::to_chars(digits, digits + sizeof digits, c).ptr;
    text += "\"+CHR ";
    text.append(digits, end);
    text += "+\"";
}

bool IsNumberCharacter(char c) {
    return (c >= '0' && c <= '9') || c == '.';
}

// Where the number literal that text ends with starts: digits and points, and an exponent
// ("1.5E-3", "2e4") after them.
std::size_t LiteralStart(std::string_view text) {
    std::size_t start = text.size();
    while (start > 0 && IsNumberCharacter(text[start - 1])) --start;
    const auto isE = [&](std::size_t at) { return text[at] == 'E' || text[at] == 'e'; };
    std::size_t mantissaEnd = start;
    if (start >= 3 && (text[start - 1] == '+' || text[start - 1] == '-') && isE(start - 2) &&
        IsNumberCharacter(text[start - 3])) {
        mantissaEnd = start - 2;
    } else if (start >= 2 && start < text.size() && isE(start - 1) &&
               IsNumberCharacter(text[start - 2])) {
        mantissaEnd = start - 1;
    }
    if (mantissaEnd != start) {
        start = mantissaEnd;
        while (start > 0 && IsNumberCharacter(text[start - 1])) --start;
    }
    return start;
}

// What the digits say, as PRINT would show it; empty when they say nothing.
std::string DigitsValue(std::string_view digits, bool binary) {
    if (digits.empty()) return {};
    double value = 0;
    if (binary) {
        for (const char c : digits) {
            if (c != '0' && c != '1') return {};
            value = value * 2 + (c - '0');
        }
        return SpectrumNumberText(value);
    }
    // A leading point ("PRINT .5") is a number as the Spectrum reads it.
    const std::string plain =
        digits.front() == '.' ? "0" + std::string(digits) : std::string(digits);
    const auto [end, error] = std::from_chars(plain.data(), plain.data() + plain.size(), value);
    if (error != std::errc() || end != plain.data() + plain.size()) return {};
    return SpectrumNumberText(value);
}

// Notes the number whose five bytes follow the marker at bytes[at], when they differ from the
// digits that the line's text from textStart (after the line's number) to digitsEnd ends with.
// Spaces between the digits and the marker are the line's own (the Spectrum skips them when it
// reads a number), so the caller puts digitsEnd before them and the digits before them count.
void CheckHiddenNumber(std::span<const std::uint8_t> bytes, std::size_t at, const std::string& text,
                       std::size_t textStart, std::size_t digitsEnd, std::size_t line,
                       std::vector<HiddenNumber>& hidden) {
    const std::string_view before = std::string_view(text).substr(textStart, digitsEnd - textStart);
    const std::size_t end = before.size();
    const std::size_t start = LiteralStart(before);
    const std::string_view digits = before.substr(start);
    constexpr std::string_view kBin = "BIN ";
    const bool binary = before.substr(0, start).ends_with(kBin);
    const std::string value = SpectrumNumberText(bytes.subspan(at + 1).first<kHiddenNumberSize>());
    if (DigitsValue(digits, binary) != value)
        hidden.push_back({line, textStart + end, std::string(digits), value});
}

// Appends a keyword as the Spectrum's ROM prints it: a space before it, unless it is a function
// (RND to BIN) or begins below 'A' (<=, >=, <>) or a space was printed last; a space after it
// when it ends in a letter or '$', but for RND, INKEY$ and PI, which take no argument. Returns
// whether a space was printed last.
bool AppendSpectrumKeyword(std::string& text, std::uint8_t token, bool afterSpace) {
    constexpr std::uint8_t kFirstFunction = 0xA5;   // RND
    constexpr std::uint8_t kLastNoArgument = 0xA7;  // PI
    constexpr std::uint8_t kLastFunction = 0xC4;    // BIN
    const std::string_view keyword = BasicKeywords[token - kFirstKeywordToken];
    const bool function = token >= kFirstFunction && token <= kLastFunction;
    if (!function && keyword.front() >= 'A' && !afterSpace) text += ' ';
    text += keyword;
    const bool spaceAfter = (keyword.back() >= 'A' || keyword.back() == '$') &&
                            !(token >= kFirstFunction && token <= kLastNoArgument);
    if (spaceAfter) text += ' ';
    return spaceAfter;
}

// What a line's decoding gives besides its text.
struct LineNotes {
    std::vector<HiddenNumber>* hidden = nullptr;
    std::vector<ColourCode>* colours = nullptr;
    BasicSpelling spelling = BasicSpelling::Pane;
};

// Appends the text of the bytes from index begin up to end; stops early when a hidden number's
// skip would pass end. With hidden given, notes the numbers whose value is not their digits'.
void DecodeLineText(std::span<const std::uint8_t> bytes, std::size_t begin, std::size_t end,
                    std::string& text, std::size_t line, const LineNotes& notes) {
    const bool spectrum = notes.spelling == BasicSpelling::Spectrum;
    // DEF FN keeps a five-byte slot after each of its parameters' names, marked as a number is;
    // the slot holds the argument while the function runs, and is no number of the line's.
    bool inDefFnParameters = false;
    // The Spectrum prints no keyword's leading space after a space; its line number is followed
    // by no space of its own, the first keyword's leading space parting them.
    bool afterSpace = false;
    const std::size_t textStart = text.size();
    // Where the text ends without the spaces after it: space bytes and keywords' trailing spaces.
    std::size_t digitsEnd = textStart;
    for (std::size_t i = begin; i < end; ++i) {
        const std::uint8_t c = bytes[i];
        const std::size_t before = text.size();
        if (c == kDefFnToken) inDefFnParameters = true;
        if (c == '=' || c == ':') inDefFnParameters = false;
        if (spectrum && c >= 0x20 && c < kFirstKeywordToken) {
            text += SpectrumCharacter(c);
            // Block graphics, drawn apart from the other characters, leave the flag as it was.
            if (c < 0x80 || c >= 0x90) afterSpace = c == ' ';
        } else if (c >= 0x20 && c <= 0x7E) {
            text += static_cast<char>(c);
        } else if (c == 0x7F) {
            text += static_cast<char>(kCopyrightSign);
        } else if (c >= 0x80 && c < kFirstKeywordToken) {
            AppendCharacterCode(text, c);
        } else if (c >= kFirstKeywordToken && spectrum) {
            afterSpace = AppendSpectrumKeyword(text, c, afterSpace);
        } else if (c >= kFirstKeywordToken) {
            text += ' ';
            text += BasicKeywords[c - kFirstKeywordToken];
            text += ' ';
        } else if (c == kNumberMarker) {
            if (notes.hidden != nullptr && !inDefFnParameters && end - i > kHiddenNumberSize)
                CheckHiddenNumber(bytes, i, text, textStart, digitsEnd, line, *notes.hidden);
            i += kHiddenNumberSize;
        } else if (c >= kInkCode && c <= kOverCode && notes.colours != nullptr && i + 1 < end) {
            notes.colours->push_back({line, text.size(), c, bytes[i + 1]});
        }
        // Control codes, and their parameter bytes below 0x20, show nothing.
        if (text.size() != before && c != ' ') {
            digitsEnd = text.size();
            if (c >= kFirstKeywordToken && text.back() == ' ') --digitsEnd;
        }
    }
}

// The decoding, noting what notes asks for.
void Decode(std::span<const std::uint8_t> bytes, std::uint16_t length, LineSink& lines,
            const LineNotes& notes) {
    const std::size_t kept = bytes.size();
    std::size_t p = 0;
    std::string text;
    std::size_t lineIndex = 0;
    // p + 5 <= kept: the line's number and length bytes were read.
    while (p + 5 <= kept) {
        const unsigned number = unsigned(bytes[p + 1]) << 8 | bytes[p + 2];
        const std::size_t lineLength = std::size_t(bytes[p + 3]) | std::size_t(bytes[p + 4]) << 8;
        const std::size_t lineEnd = p + lineLength + 4;

        text = IntToPadStr(number, 4);
        if (notes.spelling == BasicSpelling::Pane) text += ' ';
        DecodeLineText(bytes, p + 5, std::min(lineEnd, kept), text, lineIndex++, notes);
        lines.AddLine(text);

        // A line running past the kept bytes is the last one that can be decoded; p never
        // reaches 65536, so it is also the running 16-bit total of line sizes.
        if (lineEnd > kept || lineEnd >= length) break;
        p = lineEnd;
    }
}

}  // namespace

void DecodeBasicProgram(std::span<const std::uint8_t> bytes, std::uint16_t length,
                        LineSink& lines) {
    Decode(bytes, length, lines, {});
}

void DecodeBasicProgram(std::span<const std::uint8_t> bytes, std::uint16_t length, LineSink& lines,
                        std::vector<HiddenNumber>& hidden, BasicSpelling spelling) {
    Decode(bytes, length, lines, {&hidden, nullptr, spelling});
}

void DecodeBasicProgram(std::span<const std::uint8_t> bytes, std::uint16_t length, LineSink& lines,
                        std::vector<HiddenNumber>& hidden, std::vector<ColourCode>& colours,
                        BasicSpelling spelling) {
    Decode(bytes, length, lines, {&hidden, &colours, spelling});
}

}  // namespace brisalto
