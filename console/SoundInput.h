// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <stdexcept>

namespace brisalto {

// The system's default sound input could not be opened or read; what() says why, for the user.
class SoundInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The system's default sound input, recording mono at a given rate from when it is made until
// it is dropped: PulseAudio's simple API on Linux, the wave input on Windows. SoundInputError
// when there is no sound server or device to record from.
class SoundInput {
public:
    explicit SoundInput(unsigned rate);
    ~SoundInput();
    SoundInput(const SoundInput&) = delete;
    SoundInput& operator=(const SoundInput&) = delete;

    // Waits for the next samples (from -1 to 1) and puts them at the start of samples: at least
    // one, at most a tenth of a second's. Returns how many. SoundInputError when the input fails.
    std::size_t Read(std::span<float> samples);

private:
    struct Device;
    std::unique_ptr<Device> device_;
};

}  // namespace brisalto
