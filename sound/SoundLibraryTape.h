// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <vector>

struct libspectrum_tape;
struct libspectrum_tape_block;

namespace brisalto {

// One edge of a tape's signal as the sound library gives it: what happens to the level now, and
// how long the level then holds.
struct TapeEdge {
    std::uint32_t tstates = 0;  // how long the level holds after this edge
    bool noEdge = false;        // the level stays as it is
    bool forceLow = false;      // the level goes low, whatever it was
    bool forceHigh = false;     // the level goes high, whatever it was
    bool blockEnd = false;      // the last edge of its block
    bool pause = false;         // the edge starts its block's pause, rather than a pulse
    bool stop = false;          // the tape deck stops here (a TZX stop block, or the end)
    bool tapeEnd = false;       // the last edge of the tape
    // Set on the first edge of a block that is a row of the catalogue (a standard, turbo or pure
    // data block with a header or data flag): which one, counted from 0 in the tape read.
    std::optional<std::size_t> rowStart{};
};

// A tape read by libspectrum from bytes in memory, freed with the owner. libspectrum's failures
// become SoundError, its messages kept for what() instead of printed.
class SoundLibraryTape {
public:
    // Reads bytes as a TZX tape when tzx is set, as a TAP file otherwise.
    SoundLibraryTape(std::span<const std::uint8_t> bytes, bool tzx);
    ~SoundLibraryTape();
    SoundLibraryTape(const SoundLibraryTape&) = delete;
    SoundLibraryTape& operator=(const SoundLibraryTape&) = delete;

    TapeEdge NextEdge();

private:
    struct Free {
        void operator()(libspectrum_tape* tape) const noexcept;
    };
    std::unique_ptr<libspectrum_tape, Free> tape_;
    // For each of the library's blocks, in order, the row it is (none for the blocks that are not
    // rows): loops and jumps go back to a block by its place in this list.
    std::vector<std::optional<std::size_t>> rowOfBlock_;
    libspectrum_tape_block* block_ = nullptr;  // the block of the last edge, and its pause
    std::uint32_t pause_ = 0;
};

}  // namespace brisalto
