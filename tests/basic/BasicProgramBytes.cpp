// SPDX-License-Identifier: GPL-3.0-or-later
#include "BasicProgramBytes.h"

#include <algorithm>
#include <stdexcept>

#include "DecodeBasicProgram.h"
#include "LineSink.h"

namespace brisalto::testing {

Bytes StoredLine(std::uint16_t number, const Bytes& text, std::uint16_t lineLength) {
    Bytes line(4 + text.size());
    line[0] = static_cast<std::uint8_t>(number >> 8);
    line[1] = static_cast<std::uint8_t>(number & 0xFF);
    line[2] = static_cast<std::uint8_t>(lineLength & 0xFF);
    line[3] = static_cast<std::uint8_t>(lineLength >> 8);
    std::copy(text.begin(), text.end(), line.begin() + 4);
    return line;
}

Bytes StoredLine(std::uint16_t number, const Bytes& text) {
    Bytes withEnter = text;
    withEnter.push_back(0x0D);
    return StoredLine(number, withEnter, static_cast<std::uint16_t>(withEnter.size()));
}

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

std::vector<std::string> DecodeProgram(const Bytes& program) {
    if (program.size() > 0xFFFF) throw std::invalid_argument("program longer than 65535 bytes");
    // Exactly the bytes read, in storage of exactly that size, so that the sanitizers see any
    // read past them: the flag byte, then the program without its last byte.
    Bytes block(program.size());
    if (!block.empty()) {
        block[0] = 0xFF;
        std::copy(program.begin(), program.end() - 1, block.begin() + 1);
    }
    LineVector lines;
    DecodeBasicProgram(block, static_cast<std::uint16_t>(program.size()), lines);
    return lines.lines;
}

}  // namespace brisalto::testing
