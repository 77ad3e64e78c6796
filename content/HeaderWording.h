// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace brisalto {

// What a header block announces, by field (the body layout is described in the scanner).
struct HeaderFacts {
    std::uint8_t type = 0;         // a HeaderKind, or a type no Spectrum saves
    std::string_view name;         // the file-name characters, as stored
    std::uint16_t dataLength = 0;  // bytes in the data block that follows
    std::uint16_t param1 = 0;      // autostart line, load address, or array name in the high byte
    std::uint16_t param2 = 0;      // program length without its variables
};

// The header as its kind (in the catalogue's wording) and name, with the words of the statement
// that would save it: `Program: "name" LINE 10`, then a line with the program and variables
// lengths; `Bytes: "name" CODE 32768,1024` or `SCREEN$`; `Numeric Array: "name" DATA a()`;
// `Character Array: "name" DATA a$()`. Unknown types and odd values still give a line.
std::vector<std::string> HeaderWording(const HeaderFacts& header);

}  // namespace brisalto
