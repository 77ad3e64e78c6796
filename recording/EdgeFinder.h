// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <deque>
#include <span>
#include <utility>

#include "PulseDecoder.h"

namespace brisalto {

// Turns samples of sound into the pulses between its edges, whatever the signal's level (down to
// about 1% of full scale), offset (drifting or not), hum or polarity. The samples are smoothed
// against noise; the signal's highs and lows over the last few pulses give its middle, which
// follows an offset or hum far slower than the tape's edges; an edge is where the signal
// crosses that middle, once it is past it by a margin of its recent level. Quiet makes no edges.
class EdgeFinder {
public:
    EdgeFinder(double sampleRate, PulseDecoder& decoder);

    void AddSamples(std::span<const float> mono);
    // Ends the last pulse at the recording's end and finishes the decoder.
    void Finish();

private:
    void Take(double sample);

    PulseDecoder& decoder_;
    double tstatesPerSample_;
    // A second-order low-pass against noise above the tape's frequencies, and a first-order
    // high-pass against a slow offset.
    double b0_ = 1, b1_ = 0, b2_ = 0, a1_ = 0, a2_ = 0;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
    double highPass_ = 0, highPassIn_ = 0, highPassOut_ = 0;
    // The highs and lows of the last window_ samples, as monotonic queues (index, value).
    std::uint64_t window_;
    std::deque<std::pair<std::uint64_t, double>> highs_, lows_;
    double loudest_ = 0;  // the recent span of the signal, falling slowly in quiet
    double loudestRelax_;
    std::uint64_t index_ = 0;
    int level_ = 0;              // +1 high, -1 low, 0 not yet known
    double previous_ = 0;        // the last sample's distance from the middle
    double crossing_ = 0;        // where the signal last crossed its middle, in samples
    double lastEdge_ = 0;        // where the last edge was, in samples
    double longestPulse_;        // samples; a longer stretch without an edge is passed on as silence
};

}  // namespace brisalto
