// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

#include "SoundLibraryTape.h"
#include "SoundFormat.h"

namespace brisalto {

// Bounds on a tape's sound: loops, jumps and calls can make a TZX tape endless, and blocks of
// zero-length pulses can give edges without end that take no time at all.
struct SignalLimits {
    std::uint64_t maxTstates = 2 * 60 * 60 * kTstatesPerSecond;  // two hours
    // A real tape of two hours has some 30 million edges (a turbo one a few times that).
    std::uint64_t maxEdges = std::uint64_t{1} << 26;
};

// A stretch of the signal at one level.
struct SignalRun {
    bool high = false;
    std::uint64_t tstates = 0;
    // A TZX stop block (or a stop in 48K mode): a tape deck stops after this run. Such a run is
    // of no length, at the last run's level, so that a stop given between edges is not lost.
    bool stop = false;
    // The run starts the block of this row of the tape read (counted from 0).
    std::optional<std::size_t> rowStart{};
};

// The signal of a tape, as runs of one level, from the sound library's edges with the rules of
// the TZX format a player keeps: the sound starts low, 1 ms before its first edge; a block's
// pause starts with an edge and at least 1 ms at the
// level opposite to the last pulse's, then goes low; the tape ends the same way when its last
// block has no pause (2 ms), and its last pause is closed by an edge: 1 ms high, 1 ms low.
// Throws SoundError for what the sound library refuses and for a signal past
// limits.
class TapeSignal {
public:
    TapeSignal(std::span<const std::uint8_t> bytes, bool tzx, SignalLimits limits = {});

    // The next run; false at the end of the tape.
    bool Next(SignalRun& run);
    std::uint64_t Tstates() const noexcept { return tstates_; }

private:
    void Take(const TapeEdge& edge);
    void Queue(bool high, std::uint64_t tstates);
    void QueuePause(std::uint64_t tstates);

    SoundLibraryTape tape_;
    SignalLimits limits_;
    bool level_ = false;     // the level the sound library's edges are at
    bool sounded_ = false;   // a run has been given
    bool lastHigh_ = false;  // the level of the last run queued
    bool ended_ = false;
    std::uint64_t edges_ = 0;
    std::uint64_t tstates_ = 0;            // queued so far
    std::optional<std::size_t> rowStart_;  // for the next run queued
    std::array<SignalRun, 6> queue_{};
    std::size_t queued_ = 0;
    std::size_t taken_ = 0;
};

}  // namespace brisalto
