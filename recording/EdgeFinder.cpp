// SPDX-License-Identifier: GPL-3.0-or-later
#include "EdgeFinder.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace brisalto {
namespace {

// Noise above this is no tape's: the ROM's shortest pulses are a tone of about 2 kHz, a turbo
// loader's rarely above 4 kHz.
constexpr double kLowPassHz = 5000;
constexpr double kHighPassHz = 100;
// The highs and lows a middle is taken from: longer than any pulse of a block.
constexpr double kWindowSeconds = 0.0015;
// How fast the recent level falls when the sound goes quiet.
constexpr double kLoudestSeconds = 0.5;
// The margin past the middle that makes an edge: of the current span, and of the recent level.
constexpr double kSpanMargin = 0.1;
constexpr double kLoudestMargin = 0.05;
// Below this (about -70 dB of full scale) nothing is a signal.
constexpr double kFloor = 3e-4;
// A stretch without an edge is passed on as silence this often, so blocks come while it lasts.
constexpr double kSilenceSeconds = 0.5;

}  // namespace

EdgeFinder::EdgeFinder(double sampleRate, PulseDecoder& decoder)
    : decoder_(decoder),
      tstatesPerSample_(kTStatesPerSecond / sampleRate),
      window_(static_cast<std::uint64_t>(std::max(2.0, kWindowSeconds * sampleRate))),
      loudestRelax_(1 / (kLoudestSeconds * sampleRate)),
      longestPulse_(kSilenceSeconds * sampleRate) {
    // The low-pass biquad of the Audio EQ Cookbook, Q of 1/sqrt(2); below a third of the rate.
    const double cutoff = std::min(kLowPassHz, sampleRate / 3);
    const double w = 2 * std::numbers::pi * cutoff / sampleRate;
    const double alpha = std::sin(w) / std::numbers::sqrt2;
    const double a0 = 1 + alpha;
    b0_ = (1 - std::cos(w)) / 2 / a0;
    b1_ = (1 - std::cos(w)) / a0;
    b2_ = b0_;
    a1_ = -2 * std::cos(w) / a0;
    a2_ = (1 - alpha) / a0;
    highPass_ = 1 / (1 + 2 * std::numbers::pi * kHighPassHz / sampleRate);
}

void EdgeFinder::AddSamples(std::span<const float> mono) {
    for (const float sample : mono) Take(std::isfinite(sample) ? sample : 0.0);
}

void EdgeFinder::Take(double sample) {
    const double smooth = b0_ * sample + b1_ * x1_ + b2_ * x2_ - a1_ * y1_ - a2_ * y2_;
    x2_ = x1_;
    x1_ = sample;
    y2_ = y1_;
    y1_ = smooth;
    highPassOut_ = highPass_ * (highPassOut_ + smooth - highPassIn_);
    highPassIn_ = smooth;
    const double x = highPassOut_;

    while (!highs_.empty() && highs_.back().second <= x) highs_.pop_back();
    highs_.emplace_back(index_, x);
    while (!lows_.empty() && lows_.back().second >= x) lows_.pop_back();
    lows_.emplace_back(index_, x);
    while (highs_.front().first + window_ <= index_) highs_.pop_front();
    while (lows_.front().first + window_ <= index_) lows_.pop_front();
    const double high = highs_.front().second, low = lows_.front().second;
    const double span = high - low;
    loudest_ = std::max(span, loudest_ - loudest_ * loudestRelax_);
    const double middle = (high + low) / 2;
    const double margin = std::max({kSpanMargin * span, kLoudestMargin * loudest_, kFloor});

    const double distance = x - middle;
    const auto now = static_cast<double>(index_);
    // Where the signal crossed its middle, between the last sample and this one.
    if ((distance >= 0) != (previous_ >= 0) && index_ > 0) {
        crossing_ = now - distance / (distance - previous_);
    }
    previous_ = distance;
    const int level = distance > margin ? 1 : distance < -margin ? -1 : level_;
    if (level != level_) {
        if (level_ != 0) {
            const double edge = std::max(crossing_, lastEdge_);
            if (edge > lastEdge_) decoder_.AddPulse((edge - lastEdge_) * tstatesPerSample_);
            lastEdge_ = edge;
        } else {
            lastEdge_ = now;
        }
        level_ = level;
    }
    if (now - lastEdge_ > longestPulse_) {
        decoder_.AddPulse(longestPulse_ * tstatesPerSample_, false);
        lastEdge_ += longestPulse_;
    }
    ++index_;
}

void EdgeFinder::Finish() {
    const auto end = static_cast<double>(index_);
    if (end > lastEdge_) decoder_.AddPulse((end - lastEdge_) * tstatesPerSample_, false);
    lastEdge_ = end;
    decoder_.Finish();
}

}  // namespace brisalto
