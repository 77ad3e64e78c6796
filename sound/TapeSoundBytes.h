// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "CatalogueRow.h"
#include "TapeDocument.h"

namespace brisalto {

// No real tape comes near this size; the sound library holds the whole tape in memory.
inline constexpr std::uint64_t kMaxSoundTapeBytes = std::uint64_t{64} << 20;

// The bytes of a tape that the sound library is handed: a TAP file or a TZX tape that begins at
// the chosen row's block, and ends before the damage of a damaged tape.
struct TapeSoundBytes {
    std::vector<std::uint8_t> bytes;
    bool tzx = false;
    std::size_t firstRow = 0;  // the row whose block the bytes begin with, counted from 0
    std::size_t rows = 0;      // the rows the scan found, counted as the catalogue does with raw
                               // blocks shown
    bool damaged = false;      // the tape is damaged after its last row: the bytes stop there
    // The file position of each sounded row's flag byte (as the row's Position), in order from
    // firstRow: the sound's row n is the tape's row at rowPositions[n].
    std::vector<std::uint64_t> rowPositions{};
    // Why the bytes stop early where the tape itself goes on (a block the sound library cannot
    // sound safely), for the damaged-tape message; empty otherwise.
    std::string stop{};
};

// The sound bytes of the tape document from the block of its row fromRow (counted from 0, data
// blocks listed), or from its start when none is given, to its end, or to the end of its last whole
// block when it is damaged, or up to the first block the sound library cannot sound safely
// (damaged is then set, and stop says why). Failures travel out: the file layer's, and
// SoundError for a row the tape does not have, a tape too large, a damaged tape with no whole
// block, and an unsafe block before the first row that would sound.
TapeSoundBytes ReadTapeSoundBytes(const TapeDocument& document,
                                  std::optional<std::size_t> fromRow = std::nullopt);

// The same from the block whose flag byte lies at position (a row's Position), whichever rows
// the caller lists; SoundError when no row's block is there.
TapeSoundBytes ReadTapeSoundBytesAt(const TapeDocument& document, std::uint64_t position);

}  // namespace brisalto
