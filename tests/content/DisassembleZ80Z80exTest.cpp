// SPDX-License-Identifier: GPL-3.0-or-later
// Our disassembly against libz80ex's, called directly, over the whole opcode space. The
// reference is what Brisalto printed through z80ex before it had its own disassembler: z80ex's
// text with its slips put right (a negative displacement as "+#FFFFFFFB", five bytes counted for
// DD CB d op, a few names spelt as identifiers, RST's operand in C's hex), the block's end
// cutting an instruction when z80ex reads a byte past it.
#include <gtest/gtest.h>
#include <z80ex/z80ex_dasm.h>

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <iostream>
#include <random>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "DisassembleZ80.h"

namespace brisalto {
namespace {

struct InstructionWindow {
    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;
    std::uint16_t address = 0;
    bool readPastEnd = false;
};

Z80EX_BYTE ReadInstructionByte(Z80EX_WORD address, void* user) {
    auto& window = *static_cast<InstructionWindow*>(user);
    const std::size_t at = window.offset + std::uint16_t(address - window.address);
    if (at >= window.bytes.size()) {
        window.readPastEnd = true;
        return 0;
    }
    return window.bytes[at];
}

void Replace(std::string& text, std::string_view what, std::string_view with) {
    if (const auto at = text.find(what); at != std::string::npos)
        text.replace(at, what.size(), with);
}

void SignDisplacement(std::string& text) {
    constexpr std::string_view kNegative = "+#FFFFFF";
    const auto at = text.find(kNegative);
    if (at == std::string::npos || at + kNegative.size() + 2 > text.size()) return;
    const char* digits = text.data() + at + kNegative.size();
    unsigned low = 0;
    if (std::from_chars(digits, digits + 2, low, 16).ec != std::errc() || low < 0x80) return;
    char negative[8];
    std::snprintf(negative, sizeof negative, "-#%02X", 0x100 - low);
    text.replace(at, kNegative.size() + 2, negative);
}

int Z80exOne(InstructionWindow& window, std::string& text) {
    char output[64] = {};
    int states = 0;
    int branchStates = 0;
    int length = z80ex_dasm(output, sizeof output, 0, &states, &branchStates, ReadInstructionByte,
                            window.address, &window);
    text = output;
    const std::size_t at = window.offset;
    if (at + 1 < window.bytes.size() && (window.bytes[at] == 0xDD || window.bytes[at] == 0xFD) &&
        window.bytes[at + 1] == 0xCB && length == 5) {
        length = 4;
    }
    SignDisplacement(text);
    Replace(text, "IN_F (C)", "IN F,(C)");
    Replace(text, "LD_A_I", "LD A,I");
    Replace(text, "LD_A_R", "LD A,R");
    Replace(text, "LD_I_A", "LD I,A");
    Replace(text, "LD_R_A", "LD R,A");
    Replace(text, "RST 0x", "RST #");
    return length;
}

std::vector<Z80Line> Z80exDisassembly(std::span<const std::uint8_t> bytes, std::uint16_t address,
                                      std::size_t from) {
    std::vector<Z80Line> lines;
    for (std::size_t offset = from; offset < bytes.size();) {
        InstructionWindow window{bytes, offset, std::uint16_t(address + offset), false};
        Z80Line line;
        line.address = window.address;
        line.offset = offset;
        const int length = Z80exOne(window, line.instruction);
        const std::size_t left = bytes.size() - offset;
        const std::size_t wanted = std::size_t(std::max(length, 1));
        line.cut = window.readPastEnd || wanted > left;
        if (line.cut) line.instruction = "(cut by the block's end)";
        const std::size_t taken = std::min(wanted, left);
        line.byteCount = std::uint8_t(std::min(taken, line.bytes.size()));
        for (std::size_t i = 0; i < line.byteCount; ++i) line.bytes[i] = bytes[offset + i];
        lines.push_back(std::move(line));
        offset += taken;
    }
    return lines;
}

// Every field of every line: the text shows the address, the bytes and the instruction.
std::string Listing(const std::vector<Z80Line>& lines) {
    std::string text;
    for (const Z80Line& line : lines) {
        text += Z80LineText(line) + " @" + std::to_string(line.offset) + (line.cut ? " cut" : "") +
                "\n";
    }
    return text;
}

// Each opcode of each prefix with every pair of operand bytes from 00, 7F, 80 and FF (so each
// immediate, word, relative jump and displacement at both ends of both signs), at addresses
// where relative jumps and the lines' addresses wrap; then the same bytes cut short at each
// length; then 64 KiB of random bytes from several starts.
TEST(DisassembleZ80AsZ80ex, EveryFormOperandAndCutPrintsTheSame) {
    const std::vector<std::vector<std::uint8_t>> prefixes = {
        {}, {0xCB}, {0xED}, {0xDD}, {0xFD}, {0xDD, 0xCB}, {0xFD, 0xCB}};
    const std::uint8_t operands[] = {0x00, 0x7F, 0x80, 0xFF};
    const std::uint16_t addresses[] = {0x0000, 0x8000, 0xFFFE};
    int failures = 0;
    std::size_t compared = 0;
    const auto compare = [&](std::span<const std::uint8_t> bytes, std::uint16_t address,
                             std::size_t from) {
        const std::string ours = Listing(DisassembleZ80(bytes, address, from));
        const std::string reference = Listing(Z80exDisassembly(bytes, address, from));
        ++compared;
        if (ours != reference && failures++ < 20)
            ADD_FAILURE() << "ours:\n" << ours << "z80ex:\n" << reference;
    };
    for (const auto& prefix : prefixes) {
        const bool indexedBit = prefix.size() == 2;
        for (unsigned opcode = 0; opcode < 256; ++opcode) {
            for (const std::uint8_t first : operands) {
                for (const std::uint8_t second : operands) {
                    // After DD CB and FD CB the displacement comes before the opcode.
                    std::vector<std::uint8_t> bytes = prefix;
                    if (indexedBit) bytes.push_back(first);
                    bytes.push_back(std::uint8_t(opcode));
                    if (!indexedBit) bytes.push_back(first);
                    bytes.push_back(second);
                    for (const std::uint16_t address : addresses) {
                        for (std::size_t size = 1; size <= bytes.size(); ++size)
                            compare(std::span(bytes).first(size), address, 0);
                    }
                }
            }
        }
    }
    std::mt19937 random(31);
    std::vector<std::uint8_t> bytes(65536);
    for (std::uint8_t& byte : bytes) byte = std::uint8_t(random() % 256);
    for (const std::size_t from : {0u, 1u, 2u, 3u, 65533u}) compare(bytes, 0x4000, from);
    EXPECT_EQ(failures, 0) << "of " << compared << " listings";
    std::cout << compared << " listings compared\n";
}

}  // namespace
}  // namespace brisalto
