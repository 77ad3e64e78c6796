// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "BlockChecksum.h"
#include "TzxBlockKinds.h"

namespace brisalto {

// A header body's size: flag, type, ten name bytes, three words, checksum.
inline constexpr std::size_t kHeaderBodySize = 19;

// Flag bytes of a body: a header, a data block; any other flag is a block never listed.
inline constexpr std::uint8_t kHeaderFlag = 0x00;
inline constexpr std::uint8_t kDataFlag = 0xFF;

// What a TZX file starts with, before the two bytes of its version. A glue block (0x5A) holds all
// of it but the first byte.
inline constexpr std::array<std::uint8_t, 8> kTzxSignature = {'Z', 'X', 'T', 'a',
                                                              'p', 'e', '!', 0x1A};

// A block body as TAP files store it (flag, data, checksum), wherever a tape format keeps it.
struct BlockBody {
    std::uint64_t position = 0;             // file position of the flag byte
    std::uint32_t length = 0;               // N: flag, data and checksum
    std::optional<BlockChecksum> checksum;  // of all N bytes; unset when N is 0
    // The first bytes, a header's worth; those a short body lacks read as zeros.
    std::array<std::uint8_t, kHeaderBodySize> first{};
    std::uint8_t Flag() const noexcept { return first[0]; }
};

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
    std::uint64_t partLength = 0;  // the counted part's length as stored
    // The counted part's first min(partLength, kMaxKeptPart) bytes; none for a body.
    std::vector<std::uint8_t> part;
    std::optional<BlockBody> body;  // set for a block with a TAP body (0x10, 0x11, 0x14)

    std::span<const std::uint8_t> Fixed() const noexcept { return {fixed.data(), fixedSize}; }
    // The number a fixed field of its kind holds (tzx::turbo::kPause...); 0 when the block has
    // no such field.
    std::int64_t Field(const BlockField& field) const noexcept {
        return FieldValue(Fixed(), field);
    }
};

// Whether a block is one of the catalogue's rows (listed, or left out with raw blocks hidden): a
// body with the header or the data flag. Every numbering of rows counts these.
inline bool IsRowBlock(const TapeBlock& block) noexcept {
    return block.body && (block.body->Flag() == kHeaderFlag || block.body->Flag() == kDataFlag);
}

}  // namespace brisalto
