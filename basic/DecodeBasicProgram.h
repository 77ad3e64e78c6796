// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brisalto {

class LineSink;

// Decodes the program bytes read from a data block, flag byte at index 0, into text lines.
// length is the program length the header announced; bytes holds what was kept of it. No index
// at or past bytes.size() is examined, and decoding always ends.
void DecodeBasicProgram(std::span<const std::uint8_t> bytes, std::uint16_t length, LineSink& lines);

// How the lines are spelt. Pane: as the grid's listing pane, in the single-byte code page: every
// keyword with a space on each side, a graphics byte as a "+CHR n+" piece of a string literal,
// 0x7F as 0xA9. Spectrum: as the Spectrum lists, in UTF-8: one space around keywords where the
// Spectrum prints it (none before a function or after RND, INKEY$, PI, and no second space
// after one; the line number's space is the first keyword's), and every character as
// SpectrumCharacter gives it.
enum class BasicSpelling { Pane, Spectrum };

// A number in a program line whose hidden five-byte value, the one the program computes with, is
// not what its digits say (or that has no digits at all).
struct HiddenNumber {
    std::size_t line = 0;    // the line's index among the lines given to the sink, from 0
    std::size_t column = 0;  // in that line's text, just after the digits
    std::string digits;      // as the listing shows them; BIN's binary digits too
    std::string value;       // the hidden value as PRINT shows it (SpectrumNumberText)
};

// The same decoding, and also every number whose hidden value differs from its digits, in order.
// Digits and value are compared as PRINT would show them, so a hidden value that only rounds the
// digits differently to the ninth digit is not marked.
void DecodeBasicProgram(std::span<const std::uint8_t> bytes, std::uint16_t length, LineSink& lines,
                        std::vector<HiddenNumber>& hidden,
                        BasicSpelling spelling = BasicSpelling::Pane);

// A colour control code in a program line: INK, PAPER, FLASH, BRIGHT, INVERSE or OVER (0x10 to
// 0x15) and the value byte after it. Listed, it colours the line's text after it.
struct ColourCode {
    std::size_t line = 0;    // the line's index among the lines given to the sink, from 0
    std::size_t column = 0;  // in that line's text, where the text it colours begins
    std::uint8_t code = 0;
    std::uint8_t value = 0;
};
inline constexpr std::uint8_t kInkCode = 0x10;
inline constexpr std::uint8_t kOverCode = 0x15;

// The same decoding with the hidden numbers, and also every colour code, in order.
void DecodeBasicProgram(std::span<const std::uint8_t> bytes, std::uint16_t length, LineSink& lines,
                        std::vector<HiddenNumber>& hidden, std::vector<ColourCode>& colours,
                        BasicSpelling spelling = BasicSpelling::Pane);

}  // namespace brisalto
