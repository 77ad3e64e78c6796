// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "OpenTape.h"

namespace brisalto {

// The most entries of one list a detail gives (pulses, symbols, choices, calls).
inline constexpr std::size_t kMaxListed = 64;

// One figure or text of a block: a number, a list of numbers, or texts (UTF-8).
struct DetailField {
    std::string_view key;    // for scripts: "pilotPulse", "pause", ...
    std::string_view label;  // for people: "Pilot pulse", "Pause", ...
    std::vector<std::int64_t> numbers;
    std::vector<std::string> texts;
    bool list = false;            // numbers or texts as a list, even of one
    std::string_view unit;        // after a number: "T-states", "ms", ...; may be empty
    std::uint64_t notListed = 0;  // a list's entries past the first kMaxListed
    bool hex = false;             // a byte people read in hex ("0xFF")
};

// What one block of a tape holds, as fields.
struct BlockDetail {
    std::size_t index = 0;  // the block's place among the tape's blocks, from 0
    std::uint8_t id = 0;    // its TZX ID; a TAP block is 0x10
    std::string_view name;  // "Standard speed data", "Pure tone", ...
    std::uint64_t position = 0;
    std::uint64_t length = 0;         // its bytes in the file
    std::optional<std::size_t> row;   // the grid row it is, with raw blocks shown, from 1
    std::vector<DetailField> fields;  // in the order to show them
};

// Every block of tape in file order, listed by the grid or not, with its fields: timings in
// T-states, counts, pauses, texts (as the TZX texts reader reads them), jumps, loops, symbol
// tables (the first kMaxListed entries of a list, then a count of the rest), and for a block
// with a body its length, flag and checksum stated and computed. A block whose counted part
// states more than it holds gives what lies within it and a "cut" field saying so.
std::vector<BlockDetail> BlockDetails(const OpenedTape& tape);

// A detail as lines for people: "Block N (0xID Name)" at the file position, then one
// "Label: value unit" line per field, indented.
std::vector<std::string> BlockDetailLines(const BlockDetail& detail);

}  // namespace brisalto
