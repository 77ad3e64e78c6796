// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "RecoveredBlock.h"

namespace brisalto {

// T-states of a 3.5 MHz Spectrum, the unit of every length in a TZX file.
inline constexpr double kTStatesPerSecond = 3'500'000.0;

// Reads pulses (the times between the signal's edges, in T-states) as a Spectrum's loader would:
// a pilot tone, its sync pulses, then bits against the timings measured on that block, to the
// block's end. Pulses that make no block are kept as they were measured. Each block goes to the
// observer as soon as it is complete; memory stays bounded whatever the pulses are.
class PulseDecoder {
public:
    using BlockObserver = std::function<void(RecoveredBlock)>;
    explicit PulseDecoder(BlockObserver observer);

    // The next pulse; a pulse of 0 or less is ignored.
    void AddPulse(double tstates);
    // The recording ends: whatever is pending is decided and passed on.
    void Finish();

private:
    void Search(double pulse);
    void CollectData(double pulse);
    void EndData(bool breakPulse);
    void KeepUnknown(double pulse);
    void FlushUnknown();
    void EmitPause(double tstates);

    BlockObserver observer_;
    double now_ = 0;  // T-states from the recording's start to the end of the last pulse

    enum class State { Search, Sync1, Sync2, Data } state_ = State::Search;
    std::vector<double> run_;   // a candidate pilot tone
    double runSum_ = 0;
    double runStart_ = 0;
    double pilotMean_ = 0;
    std::uint32_t pilotCount_ = 0;
    double sync1_ = 0, sync2_ = 0;
    std::vector<double> data_;  // the data pulses of the block being read
    double blockStart_ = 0;

    std::vector<double> unknown_;  // pulses that make no block yet
    double unknownStart_ = 0;
    std::uint64_t keptPulses_ = 0;
};

}  // namespace brisalto
