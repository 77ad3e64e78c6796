// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

namespace brisalto {

// Where a pulse file's pulses go, in T-states: RecordingDecoder::AddPulse, or a test's count.
using PulseOutput = std::function<void(double tstates)>;

// The longest stretch of sound decoded, 4 hours, twice the longest cassette: a small file that
// says more (hours of silence packed into a FLAC, a PZX repeating its longest pulse) is read to
// there, in bounded time and into a tape of bounded blocks.
inline constexpr double kMaxRecordingSeconds = 4 * 3600;

// The most pulses a pulse file gives: over four hours of the fastest turbo loader. A file whose
// counts say more (a PZX repeating one pulse 2^31 times) is read to there, in bounded time.
inline constexpr std::uint64_t kMaxPulses = 100'000'000;

// A pulse file's pulses, each at its level, passed on as the times between the signal's edges:
// a pulse at the level of the one before it (a block that starts at the level the last one
// ended at, or a pulse of no time between two) lengthens that one.
class PulseStream {
public:
    // poll is called every million pulses (progress, cancelling), however few bytes they take.
    PulseStream(const PulseOutput& output, const std::function<void()>& poll)
        : output_(output), poll_(poll) {}

    // A pulse of tstates at level high; false once kMaxPulses have been given, each pulse of no
    // time counted too, or kMaxRecordingSeconds have passed (the file must stop there).
    bool Add(bool high, double tstates);
    // count pulses of tstates each, the first at level high, the level turning at each; false
    // as Add. Returns the level after them in after.
    bool Repeat(std::uint64_t count, bool high, double tstates, bool& after);
    // Counts pulses that went elsewhere (a PZX's data kept as its bits) against the same bounds;
    // false when they would take the count past kMaxPulses (which then stops the stream) or the
    // time past kMaxRecordingSeconds.
    bool Pass(std::uint64_t pulses, double tstates);
    // The last pulse, held in case the next one continued it, passed on.
    void Finish();
    std::uint64_t Count() const noexcept { return count_; }
    // Which bound stopped the pulses, once Add said false: the note of a recording cut short.
    const char* StopNote() const noexcept;

private:
    const PulseOutput& output_;
    const std::function<void()>& poll_;
    bool level_ = false;
    double pending_ = 0;  // the last pulse's time, not yet passed on
    std::uint64_t count_ = 0;
    double tstates_ = 0;  // of every pulse given
};

}  // namespace brisalto
