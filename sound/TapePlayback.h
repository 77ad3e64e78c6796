// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>
#include <span>

#include "SoundFormat.h"
#include "TapeSignal.h"
#include "TapeSoundBytes.h"

namespace brisalto {

// The samples of a tape's whole sound, stops and lead-ins all, up to its last edge (the drain after
// it not counted), counted in a walk of its signal that makes none; SoundError for a sound past limits. Plays no part in a playback: it can run beside one,
// on another thread.
std::uint64_t CountPlaybackSamples(const TapeSoundBytes& tape, SoundFormat format,
                                   SignalLimits limits = {});

// The samples of each level of the edge that closes the sound before a stop: 1 ms, in whole
// samples.
inline std::uint64_t StopClosingSamples(SoundFormat format) {
    return format.rate / 1000;
}

// Silence at the level the tape rests at, before the first pilot and again after each stop, as a
// cassette's leader: a sound device that wakes late (HDMI, USB and Bluetooth ones often swallow
// part of a second, and Wine's first start of its sound lost 1.09 s) then loses silence, not
// tone. Two seconds.
inline std::uint64_t LeadInSamples(SoundFormat format) {
    return 2 * std::uint64_t{format.rate};
}

// Silence after the tape's last edge, and after a stop's closing edge, handed out before the sound
// counts as ended or standing: a device says
// it has played what it still holds in its buffers, and stopping it then would cut the closing
// edge that a Spectrum needs to read the last bit. One second outlasts the buffers of the
// devices seen (up to 175 ms behind), and it is silence, so a longer buffer costs nothing.
inline std::uint64_t DrainSamples(SoundFormat format) {
    return format.rate;
}

// A tape's sound as a player pulls it: samples made piece by piece as they are asked for (memory
// stays bounded however long the tape), the deck standing still at the tape's stop blocks until
// told to go on, and where each row's block begins. Before it stands still, the sound closes as
// the tape's end does, with an edge: 1 ms high, 1 ms low (whole samples, outside the count of
// T-states, so that the sound after the stop is the WAV file's own); a reader of the sound, a
// recording read back, would otherwise lose the last block before the stop. The sound starts
// with a lead-in, again after each stop, and ends with a drain (both silence, outside the WAV
// file's samples). It does not count the
// sound first, so that it starts at once (CountPlaybackSamples does). Read throws SoundError where
// the signal passes limits.
class TapePlayback {
public:
    TapePlayback(TapeSoundBytes tape, SoundFormat format = {}, SignalLimits limits = {});

    const SoundFormat& Format() const noexcept { return format_; }
    // Samples handed out so far.
    std::uint64_t SamplesMade() const noexcept { return made_; }

    // Fills out with the next whole samples, up to the next stop; returns the bytes filled, none
    // when the deck stands at a stop or the sound has ended.
    std::size_t Read(std::span<std::uint8_t> out);
    // The deck stands at a stop block and more sound follows it.
    bool AtStop() const noexcept { return atStop_; }
    bool Ended() const noexcept { return ended_; }
    // Reading goes on past the stop the deck stands at.
    void PassStop() noexcept {
        atStop_ = false;
        leadIn_ = true;
    }

    // The file position (a row's Position) of the row whose block sounds at sample heard: the
    // last row begun by then; nothing before the first. heard never goes back between calls.
    std::optional<std::uint64_t> RowPositionAt(std::uint64_t heard);

private:
    struct RowMark {
        std::uint64_t sample = 0;
        std::optional<std::uint64_t> position;
    };

    bool NextRun();
    bool NextStretch();

    TapeSoundBytes tape_;
    SoundFormat format_;
    TapeSignal signal_;
    SampleClock clock_;
    std::uint64_t made_ = 0;
    bool high_ = false;
    std::uint64_t left_ = 0;  // samples of the current run not yet handed out
    bool stopAfter_ = false;  // the current run ends at a stop
    int closing_ = 0;         // halves of a stop's closing edge still to come
    bool standing_ = false;   // the deck stands once the closing edge is out
    bool atStop_ = false;
    bool leadIn_ = true;     // a lead-in comes before the next run
    bool draining_ = false;  // the signal has ended and the drain is handed out
    bool ended_ = false;
    // Rows begun in the samples made but perhaps not yet heard; the ones heard are dropped.
    std::deque<RowMark> marks_;
    std::optional<std::uint64_t> heardRow_;
};

}  // namespace brisalto
