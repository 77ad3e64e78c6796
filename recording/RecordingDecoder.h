// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "EdgeFinder.h"
#include "PulseDecoder.h"
#include "RecoveredBlock.h"

namespace brisalto {

// How long a live input holds a data block for the pause after it: its row comes this long after
// the sound stops, whatever follows, and a longer pause goes on in a pause block.
inline constexpr double kLiveHoldPauseSeconds = 1.0;

// A recording turned into a TZX tape as it comes: samples (a file's or a live input's) or pulses
// (a CSW's or PZX's) in, blocks out through the observer as each is read, and the whole tape's
// bytes at the end. Used by files and live capture alike.
class RecordingDecoder {
public:
    // sampleRate is of the samples given to AddSamples (0 when only pulses are given); a live
    // input passes holdPauseSeconds (PulseDecoder; kLiveHoldPauseSeconds) so that its blocks come
    // during the pauses.
    explicit RecordingDecoder(double sampleRate, PulseDecoder::BlockObserver observer = {},
                              double holdPauseSeconds = std::numeric_limits<double>::infinity());
    RecordingDecoder(const RecordingDecoder&) = delete;
    RecordingDecoder& operator=(const RecordingDecoder&) = delete;

    void AddSamples(std::span<const float> mono);
    void AddPulse(double tstates);
    // The TZX file of every block recovered, with "ZXTape!" and version 1.20 before them.
    std::vector<std::uint8_t> Finish();

    std::uint32_t DataBlocks() const noexcept { return dataBlocks_; }
    std::uint32_t DamagedBlocks() const noexcept { return damagedBlocks_; }

private:
    void Take(RecoveredBlock block);

    PulseDecoder::BlockObserver observer_;
    std::vector<std::uint8_t> tzx_;
    std::uint32_t dataBlocks_ = 0;
    std::uint32_t damagedBlocks_ = 0;
    std::unique_ptr<PulseDecoder> pulses_;
    std::unique_ptr<EdgeFinder> edges_;  // none when only pulses are given
    bool finished_ = false;
};

}  // namespace brisalto
