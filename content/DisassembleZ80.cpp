// SPDX-License-Identifier: GPL-3.0-or-later
#include "DisassembleZ80.h"

#include <z80ex/z80ex_dasm.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <string_view>

namespace brisalto {

namespace {

// What the library's byte callback may read: one instruction's place in the block.
struct InstructionWindow {
    std::span<const std::uint8_t> bytes;
    std::size_t offset = 0;     // the instruction's first byte in bytes
    std::uint16_t address = 0;  // and its address
    bool readPastEnd = false;   // the library asked for a byte the block does not hold
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

// The library prints a negative index displacement as "+#FFFFFFFB"; the Z80 adds it signed.
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

// The one call into z80ex: the instruction at window's offset, its text and length, with the
// library's slips put right.
int DisassembleOne(InstructionWindow& window, std::string& text) {
    char output[64] = {};
    int states = 0;
    int branchStates = 0;
    int length = z80ex_dasm(output, sizeof output, 0, &states, &branchStates, ReadInstructionByte,
                            window.address, &window);
    text = output;
    const std::size_t at = window.offset;
    // DD CB d op and FD CB d op are four bytes; the library counts five.
    if (at + 1 < window.bytes.size() && (window.bytes[at] == 0xDD || window.bytes[at] == 0xFD) &&
        window.bytes[at + 1] == 0xCB && length == 5) {
        length = 4;
    }
    SignDisplacement(text);
    // A few of its names are spelt as identifiers, RST's operand in C's hex.
    Replace(text, "IN_F (C)", "IN F,(C)");
    Replace(text, "LD_A_I", "LD A,I");
    Replace(text, "LD_A_R", "LD A,R");
    Replace(text, "LD_I_A", "LD I,A");
    Replace(text, "LD_R_A", "LD R,A");
    Replace(text, "RST 0x", "RST #");
    return length;
}

}  // namespace

std::vector<Z80Line> DisassembleZ80(std::span<const std::uint8_t> bytes, std::uint16_t address,
                                    std::size_t from) {
    std::vector<Z80Line> lines;
    lines.reserve((bytes.size() - std::min(from, bytes.size())) / 2);
    for (std::size_t offset = from; offset < bytes.size();) {
        InstructionWindow window{bytes, offset, std::uint16_t(address + offset), false};
        Z80Line line;
        line.address = window.address;
        line.offset = offset;
        const int length = DisassembleOne(window, line.instruction);
        const std::size_t left = bytes.size() - offset;
        const std::size_t wanted = std::size_t(std::max(length, 1));
        // A byte the block does not hold was read as 0: what the library named is not there.
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

std::string Z80LineText(const Z80Line& line) {
    char text[32];
    std::snprintf(text, sizeof text, "%04X ", line.address);
    std::string result = text;
    for (std::size_t i = 0; i < line.bytes.size(); ++i) {
        if (i < line.byteCount) {
            std::snprintf(text, sizeof text, " %02X", line.bytes[i]);
            result += text;
        } else {
            result += "   ";
        }
    }
    result += "  ";
    result += line.instruction;
    return result;
}

}  // namespace brisalto
