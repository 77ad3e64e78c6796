// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string_view>
#include <utility>
#include <vector>

// Tape bytes for tests, benchmarks and fuzz seeds: plain C++, no test framework, no Qt.
namespace brisalto::testing {

using Bytes = std::vector<std::uint8_t>;

// The parts one after another.
Bytes Concat(std::initializer_list<Bytes> parts);

// Appends a 16-bit word, low byte first, as tape files store their lengths and parameters.
void AppendWord(Bytes& bytes, std::uint16_t word);

// The block body with the checksum that makes its XOR 0 appended.
Bytes WithChecksum(Bytes body);

// Builds TAP bytes block by block. Headers and data blocks carry right checksums.
class TapeBuilder {
public:
    // A block of any body, with its 16-bit length in front.
    TapeBuilder& Block(const Bytes& body);
    // A 19-byte header; name is padded with spaces (or cut) to ten bytes.
    TapeBuilder& Header(std::uint8_t type, std::string_view name, std::uint16_t dataLength,
                        std::uint16_t param1, std::uint16_t param2 = 0);
    TapeBuilder& ProgramHeader(std::string_view name, std::uint16_t dataLength,
                               std::uint16_t autostart, std::uint16_t programLength) {
        return Header(0, name, dataLength, autostart, programLength);
    }
    // A data block: flag 0xFF, the data, its checksum byte.
    TapeBuilder& Data(const Bytes& data);
    // Bytes with no block structure (a stray byte, a cut-off block).
    TapeBuilder& Raw(const Bytes& bytes);

    const Bytes& Get() const { return bytes_; }
    // Hands the bytes over, for tapes too large to copy freely.
    Bytes Take() && { return std::move(bytes_); }

private:
    Bytes bytes_;
};

}  // namespace brisalto::testing
