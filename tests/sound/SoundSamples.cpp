// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundSamples.h"

#include <fstream>
#include <stdexcept>

namespace brisalto::testing {

namespace {

class FileSink final : public ByteSink {
public:
    explicit FileSink(const std::string& path) : file_(path, std::ios::binary) {}
    void Write(std::span<const std::uint8_t> bytes) override {
        file_.write(reinterpret_cast<const char*>(bytes.data()),
                    static_cast<std::streamsize>(bytes.size()));
        if (!file_) throw std::runtime_error("test sound file not written");
    }

private:
    std::ofstream file_;
};

}  // namespace

std::vector<Pulse> WavPulses(std::span<const std::uint8_t> wav) {
    std::vector<Pulse> pulses;
    for (std::size_t i = 44; i < wav.size(); ++i) {
        const bool high = wav[i] >= 128;
        if (pulses.empty() || pulses.back().high != high) pulses.push_back({high, 0});
        ++pulses.back().samples;
    }
    return pulses;
}

void WriteWavFile(const TapeSoundBytes& tape, const std::string& path) {
    FileSink sink(path);
    WavSound(tape, SoundFormat{}).Write(sink);
}

}  // namespace brisalto::testing
