// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <stdexcept>
#include <vector>

namespace brisalto {

// Windows' wave input could not be opened or failed; what() says why, for the user.
class WaveInputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Windows' own wave input (winmm) on the default recording device, mono 16-bit at a given rate,
// from when it is made until it is dropped: buffers of a tenth of a second that the device fills
// in turn, each handed back to it once taken. Both front ends record through it on Windows.
class WaveInput {
public:
    explicit WaveInput(unsigned rate);  // WaveInputError when there is no device
    ~WaveInput();
    WaveInput(const WaveInput&) = delete;
    WaveInput& operator=(const WaveInput&) = delete;

    // Appends the samples (from -1 to 1) of every buffer filled since the last call, in order,
    // without waiting. WaveInputError when the device fails.
    void TakeFilled(std::vector<float>& samples);
    // Waits until a buffer is filled, or for at most milliseconds.
    void Wait(unsigned milliseconds);

private:
    struct Device;
    std::unique_ptr<Device> device_;
};

}  // namespace brisalto
