// SPDX-License-Identifier: GPL-3.0-or-later
// Every view of a block over any bytes: hex lines, Z80 disassembly, a variables area, an array
// block, a BASIC program with its hidden numbers. Input: a load address (2 bytes,
// little-endian), a name byte for the array, then the block's bytes, which each decoder reads
// from an exactly sized heap copy so that ASan reports a read even one byte past them. A crash,
// a sanitizer report, a hang or a broken expectation below is a finding.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "DecodeArray.h"
#include "DecodeBasicProgram.h"
#include "DecodeVariables.h"
#include "DisassembleZ80.h"
#include "FuzzCheck.h"
#include "HexLines.h"
#include "LineSink.h"

namespace {

using brisalto::fuzzing::Require;

constexpr std::size_t kParameterBytes = 3;

void CheckHex(std::span<const std::uint8_t> bytes, std::uint16_t address) {
    const auto lines = brisalto::HexLines(bytes, {true, address});
    Require(lines.size() == 1 + (bytes.size() + 15) / 16, "a heading, then one line per 16 bytes");
}

void CheckDisassembly(std::span<const std::uint8_t> bytes, std::uint16_t address) {
    std::size_t next = 0;
    for (const brisalto::Z80Line& line : brisalto::DisassembleZ80(bytes, address)) {
        Require(line.offset == next, "instructions follow each other");
        Require(line.byteCount >= 1 && line.byteCount <= 4, "an instruction is 1 to 4 bytes");
        Require(line.cut == (line.offset + line.byteCount == bytes.size() &&
                             line.instruction.starts_with("(cut")),
                "only the last instruction is cut, and says so");
        Require(std::equal(line.bytes.begin(), line.bytes.begin() + line.byteCount,
                           bytes.begin() + std::ptrdiff_t(line.offset)),
                "an instruction shows the block's own bytes");
        next = line.offset + line.byteCount;
    }
    Require(next == bytes.size(), "every byte is in one instruction");
}

void CheckVariables(std::span<const std::uint8_t> bytes) {
    const brisalto::VariablesArea area = brisalto::DecodeVariables(bytes);
    std::size_t previous = 0;
    for (const brisalto::SpectrumVariable& variable : area.variables) {
        Require(variable.offset >= previous && variable.offset < bytes.size(),
                "variables follow each other inside the area");
        previous = variable.offset + 1;
    }
    if (area.notVariablesFrom)
        Require(*area.notVariablesFrom < bytes.size(), "the stop is a byte of the area");
}

void CheckArray(std::span<const std::uint8_t> bytes, std::uint8_t nameByte) {
    for (const bool characters : {false, true}) {
        const auto array = brisalto::DecodeArrayBlock(bytes, characters, nameByte);
        if (!array) continue;
        std::size_t elements = 1;
        for (const std::uint16_t dimension : array->dimensions) elements *= dimension;
        if (characters) elements /= array->dimensions.back();
        Require(array->elements.size() == elements, "every element, no more");
    }
}

void CheckProgram(std::span<const std::uint8_t> bytes) {
    brisalto::LineVector lines;
    std::vector<brisalto::HiddenNumber> hidden;
    brisalto::DecodeBasicProgram(bytes, static_cast<std::uint16_t>(bytes.size()), lines, hidden);
    brisalto::LineVector plain;
    brisalto::DecodeBasicProgram(bytes, static_cast<std::uint16_t>(bytes.size()), plain);
    Require(lines.lines == plain.lines, "looking for hidden numbers changes no line");
    for (const brisalto::HiddenNumber& number : hidden) {
        Require(
            number.line < lines.lines.size() && number.column <= lines.lines[number.line].size(),
            "a hidden number is in a listed line");
    }
    // The Block View's spelling lists the same lines and finds the same hidden numbers.
    brisalto::LineVector spelt;
    std::vector<brisalto::HiddenNumber> spotted;
    brisalto::DecodeBasicProgram(bytes, static_cast<std::uint16_t>(bytes.size()), spelt, spotted,
                                 brisalto::BasicSpelling::Spectrum);
    Require(spelt.lines.size() == lines.lines.size(), "both spellings list every line");
    Require(spotted.size() == hidden.size(), "both spellings find the same hidden numbers");
    for (std::size_t i = 0; i < spotted.size() && i < hidden.size(); ++i) {
        Require(spotted[i].line == hidden[i].line && spotted[i].digits == hidden[i].digits &&
                    spotted[i].value == hidden[i].value &&
                    spotted[i].column <= spelt.lines[spotted[i].line].size(),
                "a hidden number is the same in both spellings");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < kParameterBytes) return 0;
    const auto address = static_cast<std::uint16_t>(data[0] | data[1] << 8);
    const std::uint8_t nameByte = data[2];
    const std::size_t count = size - kParameterBytes;
    const auto copy = std::make_unique_for_overwrite<std::uint8_t[]>(count);
    std::copy(data + kParameterBytes, data + size, copy.get());
    const std::span<const std::uint8_t> bytes(copy.get(), count);

    CheckHex(bytes, address);
    CheckDisassembly(bytes, address);
    CheckVariables(bytes);
    CheckArray(bytes, nameByte);
    CheckProgram(bytes);
    return 0;
}
