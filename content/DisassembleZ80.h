// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brisalto {

// One Z80 instruction of a block.
struct Z80Line {
    std::uint16_t address = 0;  // where it sits in the Spectrum's memory
    std::size_t offset = 0;     // where it sits in the bytes given
    std::array<std::uint8_t, 4> bytes{};
    std::uint8_t byteCount = 0;  // its bytes within the block, the first byteCount above
    bool cut = false;            // the block ends inside it
    std::string instruction;     // "LD A,(IX-#05)"; for a cut one, what is missing
};

// The instructions from bytes[from] to the end, bytes[0] taken to load at address, undocumented
// ones included (SLL, IXH, DD CB forms that also load a register, ED's NOP*). No byte outside
// bytes is read: an instruction that the end cuts keeps the bytes there are and says it is cut
// instead of naming an instruction that is not all there. Addresses run on past 0xFFFF as the
// Z80's do, from 0x0000.
std::vector<Z80Line> DisassembleZ80(std::span<const std::uint8_t> bytes, std::uint16_t address,
                                    std::size_t from = 0);

// "8000  DD 7E FB     LD A,(IX-#05)": the address and bytes in hex, then the instruction.
std::string Z80LineText(const Z80Line& line);

// DisassembleZ80's instructions as Z80LineText writes them, one a line.
std::vector<std::string> DisassemblyLines(std::span<const std::uint8_t> bytes,
                                          std::uint16_t address, std::size_t from = 0);

}  // namespace brisalto
