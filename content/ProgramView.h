// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace brisalto {

// The BASIC view of a program's data block (body: flag, data, checksum; length: the program's
// length from its header): the listing's lines as the Spectrum lists them, in UTF-8
// (BasicSpelling::Spectrum), then, after an empty line, "Line N: D hides the value V" for each
// number whose hidden value differs from its digits D.
std::vector<std::string> ProgramViewLines(std::span<const std::uint8_t> body, std::uint16_t length);

}  // namespace brisalto
