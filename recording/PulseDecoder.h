// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
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
// block's end. A block ends where the tape says it does (a standard header's 19 bytes, and the
// length it gives the data block after it, unless the pulses plainly go on as data), or where
// its pulses stop being bits: at a pause, or at a tone or the next block's pilot following it
// with no pause, which go back to the pilot search whole. Pulses that make no block are kept as
// they were measured: a tone as a tone, the rest as pulses, silence as a pause. Each block goes
// to the observer as soon as it is complete; memory stays bounded whatever the pulses are.
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

    void Route(double pulse, bool edge);
    void Search(double pulse, bool edge);
    void StartRun(double pulse);
    void DropRun();
    void Sync(double pulse, bool edge);
    void Data(double pulse, bool edge);
    void TakeHalf(double half);
    bool FollowTone(double half);
    bool FollowPilot(double half);
    void SplitAtPilot(double sync1, double sync2);
    bool PlainlyNoBitHalf(double half, double zeroPair, double onePair) const;
    void LookPastStatedEnd();
    void LearnTimings();
    bool TakeBit(double pair);
    bool RomLike() const;
    std::size_t WholeBytes() const;
    void CommitBytes(std::size_t count);
    void EndOnBadPair();
    // pauseIsEdge: the pulse that ended the block is an edge (the next sound's first pulse, or
    // a pause's edge), looked at again as one; else silence.
    void EndAfter(std::size_t count, double pausePulse, bool pauseIsEdge = false);
    void EndData(double pausePulse, bool broke, bool pauseIsEdge = false);
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
    std::deque<double> window_;  // the latest pulses, for mending a stray spike's edges
    // Halves taken since the last byte held for good: the latest bytes stay open to be given
    // back (to a tone that began in them, or past where the tape says the block ends).
    std::deque<double> unread_;
    std::size_t committed_ = 0;      // bytes held for good
    std::uint64_t halvesTaken_ = 0;  // halves taken in this block
    // A run of alike pulses that are no bit's, which would be the next block's pilot or a tone.
    std::uint32_t toneCount_ = 0;
    double toneAverage_ = 0;
    std::uint64_t toneStart_ = 0;  // the half it began at
    bool toneRejected_ = false;    // the run is this block's own bits after all
    // Where the tape says the block ends, in bytes (a header's 19, or its data block's length
    // and 2), 0 when it does not say; the next block's, from the header just read.
    std::size_t statedEnd_ = 0;
    std::size_t nextStatedEnd_ = 0;
    // A run of alike halves as the search counts a pilot (a pilot whose pulses bits could also
    // have): followed by a sync, no data can be, and the next block began where the run began.
    // Only its count and length are held, and the halves of the byte it began in.
    std::uint32_t alikeCount_ = 0;
    double alikeSum_ = 0;
    double alikeAverage_ = 0;
    std::uint64_t alikeStart_ = 0;   // the half it began at
    double alikeStartTime_ = 0;      // T-states
    std::vector<double> alikeLead_;  // the halves of its byte before it
    std::vector<double> alikeHeld_;  // its first halves: the block's last 1 bits may be among them
    double alikeOneHalf_ = 0;        // the block's 1 bit's half where the run began
    double syncFirst_ = 0;           // a first sync after the run, 0 when none
    struct BitSums {
        double zero = 0, one = 0;
        std::uint32_t zeros = 0, ones = 0;
    };
    std::optional<BitSums> sumsAtAlike_;  // the bit sums before the byte the run began in

    std::vector<double> learning_;  // the first pairs, from which the bit timings are measured
    bool learned_ = false;
    double zero_ = 0, one_ = 0;  // the pair lengths of a 0 and a 1 bit, following the block
    double zeroSum_ = 0, oneSum_ = 0;
    std::uint32_t zeroCount_ = 0, oneCount_ = 0;
    double half_ = 0;  // the first half of a bit, 0 when none
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
