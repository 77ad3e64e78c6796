// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapePlayback.h"

#include <algorithm>
#include <utility>

namespace brisalto {

std::uint64_t CountPlaybackSamples(const TapeSoundBytes& tape, SoundFormat format,
                                   SignalLimits limits) {
    TapeSignal signal(tape.bytes, tape.tzx, limits);
    SignalRun run;
    std::uint64_t stops = 0;
    while (signal.Next(run)) {
        if (run.stop) ++stops;
    }
    return SampleClock::SamplesAt(signal.Tstates(), format.rate) +
           stops * (2 * StopClosingSamples(format) + DrainSamples(format)) +
           (stops + 1) * LeadInSamples(format);
}

TapePlayback::TapePlayback(TapeSoundBytes tape, SoundFormat format, SignalLimits limits)
    : tape_(std::move(tape)),
      format_(format),
      signal_(tape_.bytes, tape_.tzx, limits),
      clock_(format.rate) {}

// Takes the next run of the signal: false at the end of the sound.
bool TapePlayback::NextRun() {
    SignalRun run;
    if (!signal_.Next(run)) return false;
    if (run.rowStart) {
        const std::size_t row = *run.rowStart;
        marks_.push_back({made_, row < tape_.rowPositions.size()
                                     ? std::optional<std::uint64_t>(tape_.rowPositions[row])
                                     : std::nullopt});
    }
    high_ = run.high;
    left_ = clock_.Advance(run.tstates);
    stopAfter_ = run.stop;
    return true;
}

// Moves on to the next stretch of samples at one level: a lead-in, the signal's next run, a half
// of a stop's closing edge, or the drain; false where the deck stands or the sound has ended.
bool TapePlayback::NextStretch() {
    if (stopAfter_) {
        stopAfter_ = false;
        closing_ = 2;
        standing_ = true;
    }
    if (closing_ > 0) {
        high_ = closing_ == 2;
        // The low half goes on as a drain, so that the closing edge leaves the device's buffers
        // before the deck stands.
        left_ = StopClosingSamples(format_) + (high_ ? 0 : DrainSamples(format_));
        --closing_;
        return true;
    }
    if (standing_) {
        standing_ = false;
        atStop_ = true;
        return false;
    }
    if (leadIn_) {
        leadIn_ = false;
        high_ = false;
        left_ = LeadInSamples(format_);
        return true;
    }
    if (draining_) {
        ended_ = true;
        return false;
    }
    if (!NextRun()) {
        draining_ = true;
        high_ = false;
        left_ = DrainSamples(format_);
    }
    return true;
}

std::size_t TapePlayback::Read(std::span<std::uint8_t> out) {
    const std::size_t bytesPerSample = format_.bits / 8;
    std::size_t filled = 0;
    while (!atStop_ && !ended_ && out.size() - filled >= bytesPerSample) {
        if (left_ == 0) {
            NextStretch();
            continue;
        }
        const auto take = static_cast<std::size_t>(
            std::min<std::uint64_t>(left_, (out.size() - filled) / bytesPerSample));
        // 8-bit samples are unsigned around 128, 16-bit ones signed around 0, low byte first:
        // full scale high and low, as the WAV files are.
        for (std::size_t i = 0; i < take; ++i) {
            if (bytesPerSample == 1) {
                out[filled++] = high_ ? 0xFF : 0x00;
            } else {
                out[filled++] = high_ ? 0xFF : 0x01;
                out[filled++] = high_ ? 0x7F : 0x80;
            }
        }
        left_ -= take;
        made_ += take;
    }
    return filled;
}

std::optional<std::uint64_t> TapePlayback::RowPositionAt(std::uint64_t heard) {
    while (!marks_.empty() && marks_.front().sample <= heard) {
        heardRow_ = marks_.front().position;
        marks_.pop_front();
    }
    return heardRow_;
}

}  // namespace brisalto
