// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <vector>

#include "SoundFormat.h"
#include "TapeSignal.h"
#include "TapeSoundBytes.h"

namespace brisalto {

// Where a sound file's bytes go, piece by piece in order.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual void Write(std::span<const std::uint8_t> bytes) = 0;
};

// Told the samples written so far and the total; returns false to stop the writing.
using SoundProgress = std::function<bool(std::uint64_t done, std::uint64_t total)>;

// The 44 bytes in front of a mono PCM WAV file's samples.
std::vector<std::uint8_t> WavHeader(SoundFormat format, std::uint64_t samples);

// A tape's sound as a WAV file: a square wave, high and low at full scale. Made in two walks of
// the tape's signal: the first, on construction, only counts (so that a sound past the limits is
// refused before anything is written, and the header knows its length); the second writes, in
// pieces of bounded size, however long the sound.
class WavSound {
public:
    // SoundError when the tape cannot be sounded, its sound is past limits, or the file would
    // pass the 4 GiB a WAV file can hold.
    WavSound(TapeSoundBytes tape, SoundFormat format, SignalLimits limits = {});

    std::uint64_t Samples() const noexcept { return samples_; }
    std::uint64_t Tstates() const noexcept { return tstates_; }
    std::uint64_t FileBytes() const noexcept;

    // Writes the whole file to sink; false, with what was written so far, when progress stopped
    // it. The sink's failures travel out.
    bool Write(ByteSink& sink, const SoundProgress& progress = nullptr) const;

private:
    TapeSoundBytes tape_;
    SoundFormat format_;
    SignalLimits limits_;
    std::uint64_t tstates_ = 0;
    std::uint64_t samples_ = 0;
};

// The same file in one walk of the signal, for a sink that can go back to its start: a header
// for no samples first, then the samples as they come, then rewriteHeader is handed the true
// header to put over the first 44 bytes. A sound past limits fails (SoundError) partway, with
// what was written so far left for the caller to drop. Returns the count of samples.
std::uint64_t WriteWavInOneWalk(
    const TapeSoundBytes& tape, SoundFormat format, ByteSink& sink,
    const std::function<void(std::span<const std::uint8_t> header)>& rewriteHeader,
    SignalLimits limits = {});

}  // namespace brisalto
