// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "TapeDocument.h"

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

// The grid row of each of tape's blocks, with raw blocks shown, from 1: every header and every
// data (0xFF) block in file order; unset for a block the grid never lists.
std::vector<std::optional<std::size_t>> BlockRows(const TapeDocument& tape);

// What block index of tape holds (std::out_of_range past its blocks), row being its grid row:
// timings in T-states, counts, pauses, texts (as the TZX texts reader reads them), jumps,
// loops, symbol tables (the first kMaxListed entries of a list, then a count of the rest), and
// for a block with a body its length, flag and checksum stated and computed. A block whose
// counted part states more than it holds gives what lies within it and a "cut" field saying
// so; one whose part was kept in part (a long part, a tape of many) a "kept" field.
BlockDetail DetailOf(const TapeDocument& tape, std::size_t index, std::optional<std::size_t> row);

// Every block's details, in file order.
std::vector<BlockDetail> BlockDetails(const TapeDocument& tape);

// The name of TZX block id ("Pure tone"; "Unknown block" for an ID not defined).
std::string_view TzxBlockName(std::uint8_t id);

// "Block N: 0xID Name (row R)", N from 1; no row part for a block the grid never lists.
std::string BlockHeading(std::size_t index, std::uint8_t id, std::optional<std::size_t> row);

// A detail as lines for people: its heading, position and length, then one "Label: value unit"
// line per field (a list of texts a line each), indented.
std::vector<std::string> BlockDetailLines(const BlockDetail& detail);

}  // namespace brisalto
