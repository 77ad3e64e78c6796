// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "BlockChecksum.h"

namespace brisalto {

// A header body's size: flag, type, ten name bytes, three words, checksum.
inline constexpr std::size_t kHeaderBodySize = 19;

// Flag bytes of a body: a header, a data block; any other flag is a block never listed.
inline constexpr std::uint8_t kHeaderFlag = 0x00;
inline constexpr std::uint8_t kDataFlag = 0xFF;

// A block body as TAP files store it (flag, data, checksum), wherever a tape format keeps it.
struct BlockBody {
    std::uint64_t position = 0;  // file position of the flag byte
    std::uint32_t length = 0;    // N: flag, data and checksum
    std::optional<BlockChecksum> checksum;  // of all N bytes; unset when N is 0
    // The first bytes, a header's worth; those a short body lacks read as zeros.
    std::array<std::uint8_t, kHeaderBodySize> first{};
    std::uint8_t Flag() const noexcept { return first[0]; }
};

// The TZX block IDs Brisalto names; a TAP block reads as a standard speed data block (0x10)
// with a pause of one second.
namespace tzx {
inline constexpr std::uint8_t kStandardSpeed = 0x10;
inline constexpr std::uint8_t kTurboSpeed = 0x11;
inline constexpr std::uint8_t kPureTone = 0x12;
inline constexpr std::uint8_t kPulseSequence = 0x13;
inline constexpr std::uint8_t kPureData = 0x14;
inline constexpr std::uint8_t kDirectRecording = 0x15;
inline constexpr std::uint8_t kCswRecording = 0x18;
inline constexpr std::uint8_t kGeneralizedData = 0x19;
inline constexpr std::uint8_t kPause = 0x20;
inline constexpr std::uint8_t kGroupStart = 0x21;
inline constexpr std::uint8_t kGroupEnd = 0x22;
inline constexpr std::uint8_t kJump = 0x23;
inline constexpr std::uint8_t kLoopStart = 0x24;
inline constexpr std::uint8_t kLoopEnd = 0x25;
inline constexpr std::uint8_t kCallSequence = 0x26;
inline constexpr std::uint8_t kReturn = 0x27;
inline constexpr std::uint8_t kSelectBlock = 0x28;
inline constexpr std::uint8_t kStop48K = 0x2A;
inline constexpr std::uint8_t kSignalLevel = 0x2B;
inline constexpr std::uint8_t kTextDescription = 0x30;
inline constexpr std::uint8_t kMessage = 0x31;
inline constexpr std::uint8_t kArchiveInfo = 0x32;
inline constexpr std::uint8_t kHardwareType = 0x33;
inline constexpr std::uint8_t kCustomInfo = 0x35;
inline constexpr std::uint8_t kGlue = 0x5A;
}  // namespace tzx

// The longest fixed part of a TZX block (custom information: 16 characters and a length).
inline constexpr std::size_t kLongestFixedFields = 20;
// The most of a block's counted part (texts, pulse lists, symbol tables, samples) kept with it.
inline constexpr std::size_t kMaxKeptPart = 64 * 1024;

// One block of a tape, in file order, with everything it holds but the bytes of a long part:
// its TZX ID, where it lies, its fixed fields as stored (timings, pulse counts, pause, used
// bits, loop and jump values...) and the start of its counted part (texts, pulse lengths,
// symbol tables), and for a data block its body.
struct TapeBlock {
    std::uint8_t id = tzx::kStandardSpeed;
    std::uint64_t position = 0;  // file position of its first byte (a TAP block's length word)
    std::uint64_t length = 0;    // its bytes in the file, all of them
    std::array<std::uint8_t, kLongestFixedFields> fixed{};  // the fixed fields after the ID
    std::uint8_t fixedSize = 0;
    std::uint64_t partLength = 0;     // the counted part's length as stored
    std::vector<std::uint8_t> part;   // its first min(partLength, kMaxKeptPart) bytes; none for a body
    std::optional<BlockBody> body;    // set for a block with a TAP body (0x10, 0x11, 0x14)

    std::span<const std::uint8_t> Fixed() const noexcept { return {fixed.data(), fixedSize}; }
    // The 16-bit little-endian fixed field at offset at; 0 when the block has no such field.
    std::uint16_t Word(std::size_t at) const noexcept {
        if (at + 2 > fixedSize) return 0;
        return static_cast<std::uint16_t>(fixed[at] | fixed[at + 1] << 8);
    }
};

// Whether a block is one of the catalogue's rows (listed, or left out with raw blocks hidden): a
// body with the header or the data flag. Every numbering of rows counts these.
inline bool IsRowBlock(const TapeBlock& block) noexcept {
    return block.body && (block.body->Flag() == kHeaderFlag || block.body->Flag() == kDataFlag);
}

}  // namespace brisalto
