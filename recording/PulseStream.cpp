// SPDX-License-Identifier: GPL-3.0-or-later
#include "PulseStream.h"

#include "PulseDecoder.h"

namespace brisalto {

bool PulseStream::Add(bool high, double tstates) {
    if (count_ >= kMaxPulses || tstates_ >= kMaxRecordingSeconds * kTStatesPerSecond) return false;
    if (++count_ % (1u << 20) == 0 && poll_) poll_();
    if (tstates <= 0) return true;
    tstates_ += tstates;
    if (pending_ > 0 && high == level_) {
        pending_ += tstates;
        return true;
    }
    if (pending_ > 0) output_(pending_);
    level_ = high;
    pending_ = tstates;
    return true;
}

bool PulseStream::Repeat(std::uint64_t count, bool high, double tstates, bool& after) {
    // Pulses of no time only turn the level: an even count of them leaves it as it was.
    if (tstates <= 0) {
        after = count % 2 == 0 ? high : !high;
        return Add(high, 0);
    }
    for (std::uint64_t done = 0; done < count; ++done) {
        if (!Add(high, tstates)) return false;
        high = !high;
    }
    after = high;
    return true;
}

bool PulseStream::Pass(std::uint64_t pulses, double tstates) {
    if (pulses > kMaxPulses - count_) {
        count_ = kMaxPulses;  // full: the file stops here, and StopNote says why
        return false;
    }
    if (tstates_ + tstates > kMaxRecordingSeconds * kTStatesPerSecond) return false;
    // Polled each time the count passes a multiple of 2^20, as Add does.
    const bool poll = (count_ + pulses) >> 20 != count_ >> 20;
    count_ += pulses;
    tstates_ += tstates;
    if (poll && poll_) poll_();
    return true;
}

const char* PulseStream::StopNote() const noexcept {
    return count_ >= kMaxPulses
               ? "The recording goes on past 100 million pulses; it is read to there"
               : "The recording goes on past 4 hours; it is read to there";
}

void PulseStream::Finish() {
    if (pending_ > 0) output_(pending_);
    pending_ = 0;
}

}  // namespace brisalto
