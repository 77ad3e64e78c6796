// SPDX-License-Identifier: GPL-3.0-or-later
// The sound input through Windows' own wave input.
#include <windows.h>

#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "SoundInput.h"

namespace brisalto {

namespace {

constexpr std::size_t kBuffers = 8;

[[noreturn]] void Fail(const char* what, MMRESULT result) {
    char text[MAXERRORLENGTH] = {};
    waveInGetErrorTextA(result, text, MAXERRORLENGTH);
    throw SoundInputError(std::string(what) + ": " + text);
}

}  // namespace

// Buffers of 16-bit samples that the device fills in turn; each goes back to it once read.
struct SoundInput::Device {
    HWAVEIN wave = nullptr;
    HANDLE filled = nullptr;  // signalled as the device finishes a buffer
    std::array<std::vector<std::int16_t>, kBuffers> buffers;
    std::array<WAVEHDR, kBuffers> headers{};
    std::size_t next = 0;   // the buffer read next
    std::size_t taken = 0;  // its samples already read

    ~Device() {
        if (wave != nullptr) {
            waveInReset(wave);
            for (WAVEHDR& header : headers) {
                if (header.dwFlags & WHDR_PREPARED) waveInUnprepareHeader(wave, &header, sizeof header);
            }
            waveInClose(wave);
        }
        if (filled != nullptr) CloseHandle(filled);
    }
};

SoundInput::SoundInput(unsigned rate) : device_(std::make_unique<Device>()) {
    Device& device = *device_;
    device.filled = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (device.filled == nullptr) throw SoundInputError("no sound input to record from");
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 1;
    format.nSamplesPerSec = rate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 2;
    format.nAvgBytesPerSec = rate * 2;
    MMRESULT result = waveInOpen(&device.wave, WAVE_MAPPER, &format,
                                 reinterpret_cast<DWORD_PTR>(device.filled), 0, CALLBACK_EVENT);
    if (result != MMSYSERR_NOERROR) {
        device.wave = nullptr;
        Fail("no sound input to record from", result);
    }
    // Pieces of a twentieth of a second, as on Linux.
    const std::size_t piece = std::max(1u, rate / 20);
    for (std::size_t i = 0; i < kBuffers; ++i) {
        device.buffers[i].resize(piece);
        WAVEHDR& header = device.headers[i];
        header.lpData = reinterpret_cast<LPSTR>(device.buffers[i].data());
        header.dwBufferLength = static_cast<DWORD>(piece * sizeof(std::int16_t));
        result = waveInPrepareHeader(device.wave, &header, sizeof header);
        if (result == MMSYSERR_NOERROR) result = waveInAddBuffer(device.wave, &header, sizeof header);
        if (result != MMSYSERR_NOERROR) Fail("the sound input failed", result);
    }
    result = waveInStart(device.wave);
    if (result != MMSYSERR_NOERROR) Fail("the sound input failed", result);
}

SoundInput::~SoundInput() = default;

std::size_t SoundInput::Read(std::span<float> samples) {
    Device& device = *device_;
    while (!samples.empty()) {
        WAVEHDR& header = device.headers[device.next];
        while (!(header.dwFlags & WHDR_DONE)) WaitForSingleObject(device.filled, 100);
        const std::size_t recorded = header.dwBytesRecorded / sizeof(std::int16_t);
        const std::size_t count =
            std::min(samples.size(), recorded - std::min(recorded, device.taken));
        const std::int16_t* from = device.buffers[device.next].data() + device.taken;
        for (std::size_t i = 0; i < count; ++i) samples[i] = static_cast<float>(from[i]) / 32768.0f;
        device.taken += count;
        if (device.taken >= recorded) {
            // All of it read: back to the device, which fills it again after the others.
            device.taken = 0;
            header.dwFlags &= ~static_cast<DWORD>(WHDR_DONE);
            const MMRESULT result = waveInAddBuffer(device.wave, &header, sizeof header);
            if (result != MMSYSERR_NOERROR) Fail("the sound input failed", result);
            device.next = (device.next + 1) % kBuffers;
        }
        if (count > 0) return count;
    }
    return 0;
}

}  // namespace brisalto
