// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace brisalto {

// How a block's bytes are laid out for the hex view.
struct HexLayout {
    bool flagAndChecksum = true;               // the first byte is the flag, the last the checksum
    std::optional<std::uint16_t> loadAddress;  // a Bytes block's address of its first data byte
};

// The bytes 16 a line: "OFFS  [ADDR  ]hex bytes  characters", offsets counted from the block's
// first byte in hex, the flag and the checksum each in brackets in place of the spaces around
// them, the characters as the Spectrum prints them (others a dot). With a load address, each
// line also gives the address its first data byte loads at (on the first line, the byte after
// the flag). A heading line first. Any bytes, none too.
std::vector<std::string> HexLines(std::span<const std::uint8_t> bytes, const HexLayout& layout);

}  // namespace brisalto
