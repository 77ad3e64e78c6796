// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brisalto {

// The body of an array as the Spectrum stores it, in the variables area after the name and
// length bytes and alone in a Numeric or Character Array data block: the number of dimensions
// (one byte), each dimension (two bytes, low first), then the elements, last subscript
// changing fastest: five bytes each for numbers, one byte each for characters.
struct SpectrumArray {
    std::string name;                       // "a" or "a$", as DIM names it
    bool characters = false;                // a character array
    std::vector<std::uint16_t> dimensions;  // from the first subscript
    // Numbers: each element as PRINT shows it. Characters: each run along the last dimension as
    // UTF-8 text (AppendSpectrumText), one string per value of the other subscripts.
    std::vector<std::string> elements;
    std::size_t unreadable = 0;  // number elements in neither five-byte form, shown as "?"
};

// The array in bytes, which it must fill exactly; nothing when it does not: no dimensions, a
// dimension of 0, or elements that overflow or fall short of bytes. Numbers in neither five-byte
// form are shown as SpectrumNumberText shows them.
std::optional<SpectrumArray> DecodeArrayBody(std::span<const std::uint8_t> bytes, bool characters,
                                             std::string name);

// The array of a Numeric Array (header type 1) or Character Array (type 2) data block, named by
// the header's name byte (the high byte of its first parameter: 0x81 for a(), 0xC1 for a$()).
// Nothing as DecodeArrayBody, or for a name byte with no letter.
std::optional<SpectrumArray> DecodeArrayBlock(std::span<const std::uint8_t> data, bool characters,
                                              std::uint8_t nameByte);

// "a(3,2)" or "c$(2,5)".
std::string ArrayHeading(const SpectrumArray& array);

// Each element with its subscripts: "a(1,1) = 0"; for characters each run, "c$(1) = "HELLO"".
std::vector<std::string> ArrayLines(const SpectrumArray& array);

// Why a block holds no array when DecodeArrayBlock gives nothing, after "no array: ".
inline constexpr const char* kArrayMisfitText = "its dimensions do not fit its bytes";

// The array as the Array view shows it: "DIM a(3,2)", then each of ArrayLines indented.
std::vector<std::string> ArrayViewLines(const SpectrumArray& array);

}  // namespace brisalto
