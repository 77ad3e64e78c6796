// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

namespace brisalto {

// The Spectrum's clock: every tape timing is counted in its T-states.
inline constexpr std::uint64_t kTstatesPerSecond = 3'500'000;

inline constexpr unsigned kLowestSampleRate = 8'000;
inline constexpr unsigned kHighestSampleRate = 192'000;

// How a tape's sound is written: mono, 8-bit unsigned or 16-bit signed samples.
struct SoundFormat {
    unsigned rate = 44'100;  // samples per second, kLowestSampleRate to kHighestSampleRate
    unsigned bits = 8;       // 8 or 16
};

// Turns a running count of T-states into a running count of samples with exact integer
// arithmetic: each boundary is rounded from the exact total, so the rounding never adds up,
// however long the tape.
class SampleClock {
public:
    explicit SampleClock(unsigned rate) : rate_(rate) {}

    // Moves on by tstates and returns the samples that covers.
    std::uint64_t Advance(std::uint64_t tstates) {
        tstates_ += tstates;
        const std::uint64_t end = SamplesAt(tstates_, rate_);
        const std::uint64_t count = end - samples_;
        samples_ = end;
        return count;
    }

    // The sample boundary nearest to a point tstates into the sound.
    static std::uint64_t SamplesAt(std::uint64_t tstates, unsigned rate) {
        return (tstates * rate + kTstatesPerSecond / 2) / kTstatesPerSecond;
    }

private:
    unsigned rate_;
    std::uint64_t tstates_ = 0;
    std::uint64_t samples_ = 0;
};

}  // namespace brisalto
