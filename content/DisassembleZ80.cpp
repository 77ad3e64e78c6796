// SPDX-License-Identifier: GPL-3.0-or-later
#include "DisassembleZ80.h"

#include <algorithm>
#include <cassert>
#include <cstdio>
#include <string_view>

#include "Z80OpcodeTables.h"

namespace brisalto {

namespace {

// One instruction's bytes, read in order from its first. A byte past the block's end reads as
// 0 and is remembered: the instruction is then cut, whatever those zeros would make of it.
class InstructionReader {
public:
    InstructionReader(std::span<const std::uint8_t> bytes, std::size_t offset)
        : bytes_(bytes), offset_(offset) {}

    std::uint8_t Next() {
        const std::uint8_t byte = Peek();
        ++count_;
        return byte;
    }
    // The next byte, left for the next instruction if this one does not take it.
    std::uint8_t Peek() {
        if (offset_ + count_ >= bytes_.size()) {
            cut_ = true;
            return 0;
        }
        return bytes_[offset_ + count_];
    }
    std::size_t Count() const { return count_; }
    bool Cut() const { return cut_; }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t offset_ = 0;
    std::size_t count_ = 0;
    bool cut_ = false;
};

std::string Hex(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "#%0*X", digits, value);
    return text;
}

// "+#05", "-#7B": the Z80 adds the displacement byte signed.
std::string Displacement(std::uint8_t byte) {
    return byte < 0x80 ? "+" + Hex(byte, 2) : "-" + Hex(0x100u - byte, 2);
}

// A table's text with its operands read from the bytes after the opcode, in their order.
std::string Expand(std::string_view text, InstructionReader& reader, std::uint16_t address,
                   std::string_view index) {
    std::string result;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const std::string_view rest = text.substr(i);
        if (rest.starts_with("nn")) {
            const std::uint8_t low = reader.Next();
            const std::uint8_t high = reader.Next();
            result += Hex(high * 0x100u + low, 4);
            ++i;
        } else if (rest.starts_with("n")) {
            result += Hex(reader.Next(), 2);
        } else if (rest.starts_with("e")) {
            // Relative to the next instruction's address, within the 64 KiB the Z80 sees.
            const std::uint8_t offset = reader.Next();
            const int jump = offset < 0x80 ? offset : offset - 0x100;
            result += Hex(std::uint16_t(address + int(reader.Count()) + jump), 4);
        } else if (rest.starts_with("+d")) {
            result += Displacement(reader.Next());
            ++i;
        } else if (rest.starts_with("IX")) {
            result += index;
            ++i;
        } else {
            result += text[i];
        }
    }
    return result;
}

std::string CbText(std::size_t opcode) {
    return std::string(z80::kBitOperations[opcode / 8]) + std::string(z80::kRegisters[opcode % 8]);
}

std::string EdText(std::size_t opcode, InstructionReader& reader, std::uint16_t address) {
    if (opcode >= z80::kEdMiddleFirst && opcode < z80::kEdMiddleFirst + z80::kEdMiddle.size())
        return Expand(z80::kEdMiddle[opcode - z80::kEdMiddleFirst], reader, address, {});
    if (opcode >= z80::kEdBlockFirst && opcode < z80::kEdBlockFirst + z80::kEdBlock.size())
        return std::string(z80::kEdBlock[opcode - z80::kEdBlockFirst]);
    return "NOP*";
}

// DD CB d op and FD CB d op: the CB operation on (IX+d). Undocumented, those with a register in
// place of (HL) also load the result into it; BIT loads nothing.
std::string IndexedBitText(std::string_view index, std::uint8_t displacement, std::size_t opcode) {
    const std::string_view operation = z80::kBitOperations[opcode / 8];
    const std::string operand = "(" + std::string(index) + Displacement(displacement) + ")";
    const std::size_t target = opcode % 8;
    if (operation.starts_with("BIT") || target == z80::kMemoryRegister)
        return std::string(operation) + operand;
    return "LD " + std::string(z80::kRegisters[target]) + "," + std::string(operation) + operand;
}

std::string IndexedText(std::string_view index, InstructionReader& reader, std::uint16_t address) {
    // A second prefix undoes this one: the Z80 runs it as a NOP and starts again there.
    const std::uint8_t next = reader.Peek();
    if (next == 0xDD || next == 0xED || next == 0xFD) return "NOP*";
    const std::uint8_t opcode = reader.Next();
    if (opcode == 0xCB) {
        const std::uint8_t displacement = reader.Next();
        return IndexedBitText(index, displacement, reader.Next());
    }
    const auto* form =
        std::find_if(std::begin(z80::kIndexForms), std::end(z80::kIndexForms),
                     [opcode](const z80::IndexForm& f) { return f.opcode == opcode; });
    if (form != std::end(z80::kIndexForms)) return Expand(form->text, reader, address, index);
    return Expand(z80::kUnprefixed[opcode], reader, address, index);
}

std::string InstructionText(InstructionReader& reader, std::uint16_t address) {
    const std::uint8_t opcode = reader.Next();
    switch (opcode) {
        case 0xCB: return CbText(reader.Next());
        case 0xED: return EdText(reader.Next(), reader, address);
        case 0xDD: return IndexedText("IX", reader, address);
        case 0xFD: return IndexedText("IY", reader, address);
        default: return Expand(z80::kUnprefixed[opcode], reader, address, {});
    }
}

}  // namespace

std::vector<Z80Line> DisassembleZ80(std::span<const std::uint8_t> bytes, std::uint16_t address,
                                    std::size_t from) {
    std::vector<Z80Line> lines;
    lines.reserve((bytes.size() - std::min(from, bytes.size())) / 2);
    for (std::size_t offset = from; offset < bytes.size();) {
        InstructionReader reader(bytes, offset);
        Z80Line line;
        line.address = std::uint16_t(address + offset);
        line.offset = offset;
        line.instruction = InstructionText(reader, line.address);
        line.cut = reader.Cut();
        if (line.cut) line.instruction = "(cut by the block's end)";
        // A cut instruction keeps the bytes there are; every instruction is at most four.
        const std::size_t taken = line.cut ? bytes.size() - offset : reader.Count();
        assert(taken <= line.bytes.size());
        line.byteCount = std::uint8_t(taken);
        std::copy_n(bytes.begin() + std::ptrdiff_t(offset), taken, line.bytes.begin());
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

std::vector<std::string> DisassemblyLines(std::span<const std::uint8_t> bytes,
                                          std::uint16_t address, std::size_t from) {
    std::vector<std::string> lines;
    for (const Z80Line& line : DisassembleZ80(bytes, address, from))
        lines.push_back(Z80LineText(line));
    return lines;
}

}  // namespace brisalto
