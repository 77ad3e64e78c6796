// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "BlockChecksum.h"
#include "CatalogueRow.h"
#include "DecodeScreen.h"
#include "TapeBlock.h"
#include "TapeDocument.h"

namespace brisalto {

// Where a tape keeps its screens, from its blocks alone (TapeDocument::blocks, in file order).
//
// A block holds a whole screen when its data is 6,912 bytes: the bytes between its flag and its
// checksum, whatever the flag byte and whatever the TZX block kind. Turbo loaders keep screens
// in turbo (0x11) and pure data (0x14) blocks, some under flag 0, which the grid reads as a
// header. A pure data block is the one custom loaders also fill with bare bytes, so a 0x14
// block of exactly 6,912 bytes, with neither flag nor checksum, is a screen too; a standard or
// turbo block always carries the ROM loader's flag and checksum.
//
// A screen may also come in two halves, its 6,144 bitmap bytes in one block and its 768
// attributes in the next block that carries a body (tones, pulses, pauses and texts between the
// two do not count), each half's data read by the same rule.

// A block's part in a screen: where its body lies, and which of its bytes are screen bytes.
struct ScreenPiece {
    std::size_t block = 0;                  // index among the tape's blocks
    std::uint64_t position = 0;             // file position of the body's first byte
    std::uint32_t length = 0;               // the body's bytes
    std::optional<BlockChecksum> checksum;  // the body's checksum state when the tape was read
    std::uint32_t skip = 0;                 // body bytes before the screen bytes: 1 (a flag) or 0
    std::uint32_t size = 0;                 // screen bytes in the body: 6,912, 6,144 or 768
};

// A screen: one block of all 6,912 bytes, or the bitmap's block and the attributes' block.
struct ScreenPlace {
    ScreenPiece first;
    std::optional<ScreenPiece> attributes;  // set for a split screen
    bool Split() const noexcept { return attributes.has_value(); }
};

inline constexpr std::uint32_t kScreenBitmapBytes = 6144;
inline constexpr std::uint32_t kScreenAttributeBytes = 768;

// Whether a body of length bytes (flag, data and checksum, or a pure data block's bare bytes) is of
// a size that can hold a screen or half of one: a cheap test before a tape's blocks are read.
bool CouldHoldScreen(std::uint32_t length) noexcept;

// The screen block index takes part in (the whole screen, or either half of a split one);
// nothing when it has none or index is past the blocks.
std::optional<ScreenPlace> FindScreen(std::span<const TapeBlock> blocks, std::size_t index);

// Every screen of the tape, in file order, each once.
std::vector<ScreenPlace> FindScreens(std::span<const TapeBlock> blocks);

// The index of the block whose body starts at position (a catalogue row's Position), if any.
std::optional<std::size_t> BlockWithBodyAt(std::span<const TapeBlock> blocks,
                                           std::uint64_t position);

// The screen of screens that the block behind a catalogue row takes part in: a piece whose body
// lies at the row's position with the row's length and checksum state (a tape changed between
// its scan and the search gives none); nullptr when there is none.
const ScreenPlace* ScreenOfRow(std::span<const ScreenPlace> screens, const CatalogueRow& row);

// The screen found in place, in screen order, from the document's bytes through BodyAt:
// TapeChangedError when a block's bytes are not those the place was found in.
std::array<std::uint8_t, kScreenBytes> ReadScreenBytes(const TapeDocument& document,
                                                       const ScreenPlace& place);

}  // namespace brisalto
