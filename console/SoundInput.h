// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <memory>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

namespace brisalto {

// The system's default sound input could not be opened or read; what() says why, for the user.
class SoundInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The system's default sound input, or the one named device, recording mono at a given rate
// from when it is made until it is dropped: PulseAudio's simple API on Linux, the wave input on
// Windows (the default one only). SoundInputError when there is no sound server or no such
// device to record from.
class SoundInput {
public:
    explicit SoundInput(unsigned rate, const std::string& device = {});
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

// A sound input that SoundInput can be given by name.
struct SoundInputDevice {
    std::string name;         // what SoundInput takes
    std::string description;  // for people; may be empty
    bool isDefault = false;   // the one recorded from when none is named
};

// The sound inputs there are: PulseAudio's sources on Linux, the wave input's devices on
// Windows. SoundInputError when there is no sound server to ask.
std::vector<SoundInputDevice> ListSoundInputs();

}  // namespace brisalto
