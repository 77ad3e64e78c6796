// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "TapeLocation.h"

namespace brisalto {

class LineSink;
struct TapeDocument;

// Reads the stored BASIC program whose data block's flag byte lies at position in the tape
// document, length being the program length from its header, and adds one text line per program
// line to lines, keyword tokens spelled out. All length bytes must be in the tape
// (InOutError "Read beyond end of file" otherwise, before any line is added); the first 65,501
// are kept and decoding never looks past them, whatever line lengths the bytes claim.
void ListBasicProgram(const TapeDocument& document, std::uint64_t position, std::uint16_t length,
                      LineSink& lines);

}  // namespace brisalto
