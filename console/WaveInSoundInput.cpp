// SPDX-License-Identifier: GPL-3.0-or-later
// The sound input through Windows' own wave input.
// std::min stays a function beside windows.h.
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// windows.h first: mmsystem.h needs its types.
#include <mmsystem.h>

#include <algorithm>
#include <string>
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

SoundInput::SoundInput(unsigned rate, const std::string& name) {
    // The wave input opens the default device only.
    if (!name.empty()) {
        throw SoundInputError(
            "on Windows the sound input cannot be chosen; leave out --device "
            "to record from the default one");
    }
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

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1) return {};
    std::string utf8(static_cast<std::size_t>(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(size - 1));
    return utf8;
}

}  // namespace

std::vector<SoundInputDevice> ListSoundInputs() {
    std::vector<SoundInputDevice> devices;
    const UINT count = waveInGetNumDevs();
    for (UINT id = 0; id < count; ++id) {
        WAVEINCAPSW caps{};
        if (waveInGetDevCapsW(id, &caps, sizeof caps) != MMSYSERR_NOERROR) continue;
        devices.push_back({Utf8(caps.szPname), {}, false});
    }
    if (devices.empty()) throw SoundInputError("no sound input to record from");
    return devices;
}

}  // namespace brisalto
