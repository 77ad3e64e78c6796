// SPDX-License-Identifier: GPL-3.0-or-later
#include "WaveInput.h"

#include <windows.h>
// windows.h first: mmsystem.h needs its types.
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>

namespace brisalto {

namespace {

// Sixteen buffers of a tenth of a second: 1.6 s for a busy window or system to catch up before
// the device has nowhere to put the sound (eight of a twentieth lost some under Wine while the
// window opened a question).
constexpr std::size_t kBuffers = 16;

[[noreturn]] void Fail(const char* what, MMRESULT result) {
    char text[MAXERRORLENGTH] = {};
    waveInGetErrorTextA(result, text, MAXERRORLENGTH);
    throw WaveInputError(std::string(what) + ": " + text);
}

}  // namespace

struct WaveInput::Device {
    HWAVEIN wave = nullptr;
    HANDLE filled = nullptr;  // signalled as the device finishes a buffer
    std::array<std::vector<std::int16_t>, kBuffers> buffers;
    std::array<WAVEHDR, kBuffers> headers{};
    std::size_t next = 0;  // the buffer the device finishes next

    ~Device() {
        if (wave != nullptr) {
            waveInReset(wave);  // every buffer comes back marked done
            for (WAVEHDR& header : headers) {
                if (header.dwFlags & WHDR_PREPARED)
                    waveInUnprepareHeader(wave, &header, sizeof header);
            }
            waveInClose(wave);
        }
        if (filled != nullptr) CloseHandle(filled);
    }
};

WaveInput::WaveInput(unsigned rate) : device_(std::make_unique<Device>()) {
    Device& device = *device_;
    device.filled = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (device.filled == nullptr) throw WaveInputError("no sound input to record from");
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = rate * 2;
    HWAVEIN wave = nullptr;
    MMRESULT result = waveInOpen(&wave, WAVE_MAPPER, &format,
                                 reinterpret_cast<DWORD_PTR>(device.filled), 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) Fail("no sound input to record from", result);
    device.wave = wave;
    const std::size_t piece = std::max(1u, rate / 10);
    for (std::size_t i = 0; i < kBuffers; ++i) {
        device.buffers[i].resize(piece);
        WAVEHDR& header = device.headers[i];
        header.lpData = reinterpret_cast<LPSTR>(device.buffers[i].data());
        header.dwBufferLength = static_cast<DWORD>(piece * sizeof(std::int16_t));
        result = waveInPrepareHeader(wave, &header, sizeof header);
        if (result == MMSYSERR_NOERROR) result = waveInAddBuffer(wave, &header, sizeof header);
        if (result != MMSYSERR_NOERROR) Fail("the sound input failed", result);
    }
    result = waveInStart(wave);
    if (result != MMSYSERR_NOERROR) Fail("the sound input failed", result);
}

WaveInput::~WaveInput() = default;

void WaveInput::TakeFilled(std::vector<float>& samples) {
    Device& device = *device_;
    // The device fills the buffers in the order they were added, so done ones lead.
    for (;;) {
        WAVEHDR& header = device.headers[device.next];
        if (!(header.dwFlags & WHDR_DONE)) return;
        const std::int16_t* from = device.buffers[device.next].data();
        const std::size_t count = std::min<std::size_t>(
            header.dwBytesRecorded / sizeof(std::int16_t), device.buffers[device.next].size());
        for (std::size_t i = 0; i < count; ++i)
            samples.push_back(static_cast<float>(from[i]) / 32768.0f);
        header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
        const MMRESULT result = waveInAddBuffer(device.wave, &header, sizeof header);
        if (result != MMSYSERR_NOERROR) Fail("the sound input failed", result);
        device.next = (device.next + 1) % kBuffers;
    }
}

void WaveInput::Wait(unsigned milliseconds) {
    if (!(device_->headers[device_->next].dwFlags & WHDR_DONE))
        WaitForSingleObject(device_->filled, milliseconds);
}

}  // namespace brisalto
