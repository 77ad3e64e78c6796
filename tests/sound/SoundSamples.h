// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "WavSound.h"

// A sound's bytes as the tests read them back: kept in memory, and cut into pulses.
namespace brisalto::testing {

// Keeps every byte written.
class MemorySink final : public ByteSink {
public:
    void Write(std::span<const std::uint8_t> bytes) override {
        bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    }
    const std::vector<std::uint8_t>& Bytes() const { return bytes_; }

private:
    std::vector<std::uint8_t> bytes_;
};

// A stretch of samples at one level.
struct Pulse {
    bool high = false;
    std::uint64_t samples = 0;
    bool operator==(const Pulse&) const = default;
};

// The pulses of a WAV file of 8-bit samples (the 44-byte header skipped).
std::vector<Pulse> WavPulses(std::span<const std::uint8_t> wav);

// The WAV file of a tape's sound at 44,100 Hz, 8-bit, written to path.
void WriteWavFile(const TapeSoundBytes& tape, const std::string& path);

}  // namespace brisalto::testing
