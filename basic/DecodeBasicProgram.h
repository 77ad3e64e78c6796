// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>

namespace brisalto {

class LineSink;

// Decodes the program bytes read from a data block, flag byte at index 0, into text lines.
// length is the program length the header announced; bytes holds what was kept of it. No index
// at or past bytes.size() is examined, and decoding always ends.
void DecodeBasicProgram(std::span<const std::uint8_t> bytes, std::uint16_t length, LineSink& lines);

}  // namespace brisalto
