// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "TapeBuilder.h"

namespace brisalto::testing {

// One stored program line: number (big-endian), length (little-endian), text bytes as given.
// The length counts what follows it; lineLength overrides it for lines that lie about it.
Bytes StoredLine(std::uint16_t number, const Bytes& text, std::uint16_t lineLength);

// A well-formed line: text followed by its closing 0x0D, length counted from them.
Bytes StoredLine(std::uint16_t number, const Bytes& text);

// Bytes of a printable text, for building line texts readably.
Bytes Text(std::string_view text);

// What the lister decodes from a program of the given bytes: the block read from its flag byte
// for program.size() bytes, so the program's last byte is not among them.
std::vector<std::string> DecodeProgram(const Bytes& program);

}  // namespace brisalto::testing
