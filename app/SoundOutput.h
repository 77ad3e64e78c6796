// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "SoundFormat.h"

class QIODevice;

namespace brisalto {

// Where the player's samples go: a sound device that pulls them from a source as it plays them
// (mono, in the format it was made for). The player's one seam to the platform's sound, so that
// another platform, or a test, can supply its own.
class SoundOutput {
public:
    virtual ~SoundOutput() = default;
    // Starts pulling from source; again after the source ran dry at a stop, to pull on.
    virtual void Start(QIODevice& source) = 0;
    virtual void Pause() = 0;
    virtual void Resume() = 0;
    virtual void Stop() = 0;
    // Samples played so far, counted over every Start.
    virtual std::uint64_t PlayedSamples() const = 0;
    // The device has played all it pulled, and the source gave no more.
    virtual bool Idle() const = 0;
    // The device failed after it started (it went away, or would not open).
    virtual bool Failed() const = 0;
};

// Makes an output for format; nullptr when there is no sound device to play on.
using SoundOutputMaker = std::function<std::unique_ptr<SoundOutput>(SoundFormat format)>;

// The output of this run: the platform's default sound device, unless a test chose another maker.
std::unique_ptr<SoundOutput> MakeSoundOutput(SoundFormat format);
// The platform's default sound device; nullptr when there is none.
std::unique_ptr<SoundOutput> MakeDeviceSoundOutput(SoundFormat format);
// Replaces the maker (an empty one restores the platform's).
void SetSoundOutputMaker(SoundOutputMaker maker);

}  // namespace brisalto
