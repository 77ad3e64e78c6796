// SPDX-License-Identifier: GPL-3.0-or-later
// The sound input through Windows' own wave input.
#include <algorithm>
#include <vector>

#include "SoundInput.h"
#include "WaveInput.h"

namespace brisalto {

struct SoundInput::Device {
    explicit Device(unsigned rate) : wave(rate) {}
    WaveInput wave;
    std::vector<float> pending;  // taken from the device, not yet read
    std::size_t read = 0;        // of pending
};

SoundInput::SoundInput(unsigned rate) {
    try {
        device_ = std::make_unique<Device>(rate);
    } catch (const WaveInputError& failure) {
        throw SoundInputError(failure.what());
    }
}

SoundInput::~SoundInput() = default;

std::size_t SoundInput::Read(std::span<float> samples) {
    Device& device = *device_;
    if (samples.empty()) return 0;
    try {
        while (device.read == device.pending.size()) {
            device.pending.clear();
            device.read = 0;
            device.wave.TakeFilled(device.pending);
            if (device.pending.empty()) device.wave.Wait(100);
        }
    } catch (const WaveInputError& failure) {
        throw SoundInputError(failure.what());
    }
    const std::size_t count = std::min(samples.size(), device.pending.size() - device.read);
    std::copy_n(device.pending.begin() + static_cast<std::ptrdiff_t>(device.read), count,
                samples.begin());
    device.read += count;
    return count;
}

}  // namespace brisalto
