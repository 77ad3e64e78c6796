// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <limits>
#include <optional>
#include <vector>

#include "RecoveredBlock.h"

namespace brisalto {

// T-states of a 3.5 MHz Spectrum, the unit of every length in a TZX file.
inline constexpr double kTStatesPerSecond = 3'500'000.0;

// Reads pulses (the times between the signal's edges, in T-states) as a Spectrum's loader would:
// a pilot tone, its sync pulses, then bits against the timings measured on that block, to the
// block's end. Pulses that make no block are kept as they were measured: a tone as a tone, the
// rest as pulses, silence as a pause. Each block goes to the observer as soon as it is complete;
// memory stays bounded whatever the pulses are.
class PulseDecoder {
public:
    using BlockObserver = std::function<void(RecoveredBlock)>;
    // A data block is passed on once the pause after it ends, or once it has lasted
    // holdPauseSeconds (a live input's rows then come while the pause goes on; the rest of the
    // pause follows as a pause block).
    explicit PulseDecoder(BlockObserver observer,
                          double holdPauseSeconds = std::numeric_limits<double>::infinity());

    // The next pulse; a pulse of 0 or less is ignored. A pulse with edge false is a stretch of
    // silence that goes on: the next pulse continues it (so that a live input's block is passed
    // on while the pause after it lasts).
    void AddPulse(double tstates, bool edge = true);
    // The recording ends: whatever is pending is decided and passed on.
    void Finish();

private:
    enum class State { Search, Sync, Data };

    void Search(double pulse, bool edge);
    void StartRun(double pulse);
    void DropRun();
    void Sync(double pulse, bool edge);
    void Data(double pulse, bool edge);
    void TakeHalf(double half);
    void LearnTimings();
    bool TakeBit(double pair);
    void EndData(double pausePulse, bool broke);
    // start: where the pulse began, T-states from the recording's start
    void KeepPulse(double pulse, double start);
    void KeepSilence(double tstates, double start);
    void AddSilence(double tstates, double start);
    void FlushKept();
    void EmitPending();
    void EmitKept();
    void EmitSilence();
    void EmitTone(double length, std::uint32_t count, double start);
    void Emit(RecoveredBlock block);

    // A data block read, held while the pause after it is measured.
    struct PendingBlock {
        double start = 0;  // T-states
        double end = 0;    // T-states, where its last pulse ends
        std::vector<std::uint8_t> bytes;
        bool checksumGood = false;
        std::optional<BlockBreak> broke;
        bool rom = false;  // at the ROM's timings, at whatever speed
        double pilot = 0, sync1 = 0, sync2 = 0, zero = 0, one = 0;  // pulse lengths
        std::uint32_t pilotCount = 0;
        double pause = 0;  // T-states
    };

    BlockObserver observer_;
    double holdPause_;  // T-states
    State state_ = State::Search;
    double now_ = 0;  // T-states from the recording's start to the end of the current pulse

    // A tone that may be a pilot: its pulses while few, then only its count and length.
    std::vector<double> run_;
    std::uint32_t runCount_ = 0;
    double runSum_ = 0;
    double runAverage_ = 0;  // follows the tone's drift
    double runStart_ = 0;

    // The block being read.
    double pilot_ = 0;
    std::uint32_t pilotCount_ = 0;
    double pilotStart_ = 0;
    std::vector<double> syncs_;
    std::deque<double> window_;      // the latest pulses, for mending a stray spike's edges
    std::deque<double> unread_;      // halves taken since the last whole byte
    std::vector<double> learning_;   // the first pairs, from which the bit timings are measured
    bool learned_ = false;
    double zero_ = 0, one_ = 0;      // the pair lengths of a 0 and a 1 bit, following the block
    double zeroSum_ = 0, oneSum_ = 0;
    std::uint32_t zeroCount_ = 0, oneCount_ = 0;
    double half_ = 0;                // the first half of a bit, 0 when none
    std::vector<std::uint8_t> bytes_;
    std::uint8_t byte_ = 0;
    int bits_ = 0;
    std::optional<PendingBlock> pending_;
    int strays_ = 0;  // edges after the pending block counted as its pause

    // Sound that made no block, not yet passed on.
    std::vector<double> kept_;
    double keptStart_ = 0;
    double silence_ = 0;       // a pause being measured
    double silenceStart_ = 0;  // where it began, T-states
    std::uint64_t keptTotal_ = 0;
};

}  // namespace brisalto
