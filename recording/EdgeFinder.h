// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>

#include "PulseDecoder.h"

namespace brisalto {

// Turns samples of sound into the pulses between its edges, whatever the signal's level (down to
// about 1% of full scale), offset (drifting or not), hum or polarity: the samples are smoothed
// against noise, and an edge is where the signal crosses the middle of its own recent highs and
// lows by a margin. Quiet (less than a fraction of the recording's recent level) makes no edges.
class EdgeFinder {
public:
    EdgeFinder(double sampleRate, PulseDecoder& decoder);

    void AddSamples(std::span<const float> mono);
    // Ends the last pulse at the recording's end and finishes the decoder.
    void Finish();

private:
    PulseDecoder& decoder_;
    double tstatesPerSample_;
    // A second-order low-pass (biquad) against noise above the tape's frequencies.
    double b0_, b1_, b2_, a1_, a2_;
    double x1_ = 0, x2_ = 0, y1_ = 0, y2_ = 0;
    double high_ = 0, low_ = 0;  // the recent highs and lows, relaxing towards the signal
    double envelopeRelax_;       // per sample
    double loudest_ = 0;         // the recent span of a signal, relaxing slowly
    double loudestRelax_;
    int level_ = 0;              // +1 high, -1 low, 0 not yet known
    double previous_ = 0;        // the last smoothed sample
    double sinceEdge_ = 0;       // samples from the last edge to the current sample
    double crossing_ = -1;       // samples back from the current sample to the last mid crossing
    bool started_ = false;
};

}  // namespace brisalto
