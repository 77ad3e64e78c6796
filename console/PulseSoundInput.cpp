// SPDX-License-Identifier: GPL-3.0-or-later
// The sound input through PulseAudio's simple API (Linux).
#include <pulse/error.h>
#include <pulse/simple.h>

#include <algorithm>
#include <string>

#include "SoundInput.h"

namespace brisalto {

struct SoundInput::Device {
    pa_simple* stream = nullptr;
    std::size_t piece = 0;  // samples a read waits for

    ~Device() {
        if (stream != nullptr) pa_simple_free(stream);
    }
};

namespace {

[[noreturn]] void Fail(const char* what, int error) {
    throw SoundInputError(std::string(what) + ": " + pa_strerror(error));
}

}  // namespace

SoundInput::SoundInput(unsigned rate, const std::string& device)
    : device_(std::make_unique<Device>()) {
    const pa_sample_spec format{PA_SAMPLE_FLOAT32NE, rate, 1};
    // Pieces of a twentieth of a second: a read returns that often, so a stop is seen at once.
    device_->piece = std::max(1u, rate / 20);
    pa_buffer_attr buffer{};
    buffer.maxlength = static_cast<std::uint32_t>(-1);
    buffer.tlength = static_cast<std::uint32_t>(-1);
    buffer.prebuf = static_cast<std::uint32_t>(-1);
    buffer.minreq = static_cast<std::uint32_t>(-1);
    buffer.fragsize = static_cast<std::uint32_t>(device_->piece * sizeof(float));
    int error = 0;
    device_->stream = pa_simple_new(nullptr, "brisalto-tape", PA_STREAM_RECORD,
                                    device.empty() ? nullptr : device.c_str(), "Recording a tape",
                                    &format, nullptr, &buffer, &error);
    if (device_->stream != nullptr) return;
    if (device.empty() || error != PA_ERR_NOENTITY) Fail("no sound input to record from", error);
    throw SoundInputError("no sound input named '" + device + "' to record from (" +
                          "brisalto-tape record --list-devices names them)");
}

SoundInput::~SoundInput() = default;

std::size_t SoundInput::Read(std::span<float> samples) {
    const std::size_t count = std::min(samples.size(), device_->piece);
    if (count == 0) return 0;
    int error = 0;
    if (pa_simple_read(device_->stream, samples.data(), count * sizeof(float), &error) < 0)
        Fail("the sound input failed", error);
    return count;
}

}  // namespace brisalto
