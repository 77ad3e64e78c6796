// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "DecodeArray.h"

namespace brisalto {

enum class VariableKind { Number, String, NumberArray, CharacterArray, ForLoop };

// One variable of a program's variables area, its values as PRINT shows them.
struct SpectrumVariable {
    VariableKind kind = VariableKind::Number;
    std::size_t offset = 0;  // its first byte in the area
    std::string name;        // "a", "score", "a$"; an array's in array.name
    std::string value;       // a number, a string's text (AppendSpectrumText), a loop's value
    SpectrumArray array;     // the arrays
    std::string limit;       // a FOR loop's limit and step
    std::string step;
    std::uint16_t line = 0;  // a FOR loop's line and statement to go back to
    std::uint8_t statement = 0;
};

// What a variables area holds, in order.
struct VariablesArea {
    std::vector<SpectrumVariable> variables;
    bool endMark = false;            // ended at a 0x80 mark
    std::size_t bytesAfterMark = 0;  // what follows the mark (loaders hide code there too)
    // The offset of the first byte that starts no variable (an unknown type, a name or length
    // that runs past the end, an array that does not fill its length, a number in neither
    // five-byte form): the rest is not a variables area. Unset when the area ends at its end or
    // at its mark.
    std::optional<std::size_t> notVariablesFrom;
};

// The variables in bytes, a program block's data from the program length to its end. Each kind
// starts with a byte whose top three bits give it and whose low five give the name's letter:
// 011 number (5 bytes follow), 101 number with a long name (the name's other characters, the
// last with bit 7 set, then 5 bytes), 111 FOR loop (value, limit, step, 5 bytes each, line 2
// bytes low first, statement 1 byte), 010 string (length 2 bytes, text), 100 number array and
// 110 character array (length 2 bytes, then DecodeArrayBody's bytes). 0x80 ends the area; SAVE
// leaves it out, so an area may also end right after its last variable. Nothing outside bytes
// is read, and decoding always ends.
VariablesArea DecodeVariables(std::span<const std::uint8_t> bytes);

}  // namespace brisalto
