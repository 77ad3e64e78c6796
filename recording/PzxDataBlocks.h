// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include "PulseRuns.h"
#include "RecoveredBlock.h"

namespace brisalto {

// A PZX file's DATA block, read, with the pulses of the PULS block just before it; times in
// T-states from the file's start.
struct PzxData {
    PulseRuns before;
    double beforeStart = 0;
    double start = 0;  // of its first bit
    double end = 0;    // after its tail
    std::uint32_t bits = 0;
    std::uint16_t tail = 0;                // the pulse after the last bit
    std::vector<std::uint16_t> zero, one;  // the pulses of a 0 bit and of a 1 bit
    std::vector<std::uint8_t> bytes;       // the bits, the most significant of each byte first
};

using BlockOutput = std::function<void(RecoveredBlock)>;

// The TZX blocks that hold data and the pulses before it exactly, to emit in order: at the ROM's
// timings after its pilot and syncs a standard speed block (0x10); bits of two equal pulses
// after a pilot and two syncs (what comes before those as tones and pulses) a turbo block
// (0x11); such bits after other pulses (as tones and pulses) or none a pure data block (0x14);
// bits of other pulses a generalized data block (0x19), which is not a data block of a TAP
// body. The tail and the pause (T-states), when one follows, are the block's pause in whole
// milliseconds as far as its field holds, the rest pauses (0x20), or a pulse when shorter than
// half a millisecond; without a pause the tail is a pulse (0x13).
void DataAsBlocks(const PzxData& data, std::optional<double> pause, const BlockOutput& emit);

// Runs of pulses starting at start as tones (0x12, runs of 8 or more) and pulse sequences
// (0x13); a pulse longer than a pulse sequence holds as a pause.
void RunsAsBlocks(std::span<const Run> runs, double start, const BlockOutput& emit);

// A pause of tstates as pause blocks of whole milliseconds; shorter than half a millisecond, a
// pulse.
void PauseAsBlocks(double tstates, double start, const BlockOutput& emit);

}  // namespace brisalto
