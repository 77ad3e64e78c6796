// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <vector>

namespace brisalto {

// Equal pulses one after another, each turning the level.
struct Run {
    std::uint64_t length = 0;  // T-states, above 0
    std::uint64_t count = 0;
};

// Pulses as they sound, kept as runs of equal pulses: a pulse at the level of the one before it
// (after a pulse of no time between them) joins it into one.
class PulseRuns {
public:
    // count pulses of length, the first at level high; pulses of no time are not given here.
    void Add(bool high, std::uint64_t length, std::uint64_t count);
    // The first run, taken off, and its first pulse's level in high.
    Run TakeFirst(bool& high);
    bool FirstHigh() const noexcept { return firstHigh_; }
    const std::deque<Run>& Runs() const noexcept { return runs_; }
    std::uint64_t Pulses() const noexcept;
    double TStates() const noexcept;

private:
    void Push(std::uint64_t length, std::uint64_t count);

    std::deque<Run> runs_;
    bool firstHigh_ = false;
    bool lastHigh_ = false;
};

// Pulses as a pilot tone and two sync pulses, after whatever else comes first.
struct PilotAndSyncs {
    std::vector<Run> before;
    Run pilot;
    std::uint64_t sync1 = 0, sync2 = 0;
};

// The pulses as a pilot of two or more pulses and two syncs after it; none when they are not,
// or are a tone alone (whose last two pulses would be its syncs).
std::optional<PilotAndSyncs> AsPilotAndSyncs(const PulseRuns& pulses);

}  // namespace brisalto
