// SPDX-License-Identifier: GPL-3.0-or-later
// The player's sound on Windows, through the system's own wave output (winmm): the cross-built
// Qt has no Qt Multimedia, and every Windows has this.
#include <QIODevice>
#include <QTimer>

#include <windows.h>
// windows.h first: mmsystem.h needs its types.
#include <mmsystem.h>

#include <algorithm>
#include <array>
#include <vector>

#include "SoundOutput.h"

namespace brisalto {

namespace {

// Eight buffers of about a fifth of a second each: enough to ride over a busy moment of the
// window or the system (four of a tenth ran dry once under Wine on a busy machine, and the
// block being played was lost). Pause and Stop act on the device at once whatever is queued.
constexpr std::size_t kBuffers = 8;
constexpr std::size_t kSamplesPerBuffer = 8192;
constexpr int kFeedMilliseconds = 20;

class WaveOutSoundOutput final : public SoundOutput {
public:
    WaveOutSoundOutput(HWAVEOUT device, SoundFormat format)
        : device_(device), bytesPerSample_(format.bits == 16 ? 2 : 1) {
        for (Buffer& buffer : buffers_) buffer.bytes.resize(kSamplesPerBuffer * bytesPerSample_);
        timer_.setInterval(kFeedMilliseconds);
        QObject::connect(&timer_, &QTimer::timeout, [this] { Feed(); });
    }
    ~WaveOutSoundOutput() override {
        Stop();
        waveOutClose(device_);
    }
    WaveOutSoundOutput(const WaveOutSoundOutput&) = delete;
    WaveOutSoundOutput& operator=(const WaveOutSoundOutput&) = delete;

    void Start(QIODevice& source) override {
        source_ = &source;
        dry_ = false;
        timer_.start();
        Feed();
    }
    void Pause() override { waveOutPause(device_); }
    void Resume() override { waveOutRestart(device_); }
    void Stop() override {
        timer_.stop();
        played_ = PlayedSamples();
        waveOutReset(device_);  // every queued buffer comes back marked done
        for (Buffer& buffer : buffers_) Release(buffer);
        source_ = nullptr;
    }
    std::uint64_t PlayedSamples() const override {
        MMTIME time{};
        time.wType = TIME_SAMPLES;
        if (waveOutGetPosition(device_, &time, sizeof time) != MMSYSERR_NOERROR) return played_;
        if (time.wType == TIME_SAMPLES) return played_ + time.u.sample;
        if (time.wType == TIME_BYTES) return played_ + time.u.cb / bytesPerSample_;
        return played_;
    }
    bool Idle() const override {
        if (source_ == nullptr || !dry_) return false;
        return std::all_of(buffers_.begin(), buffers_.end(), [](const Buffer& buffer) {
            return !buffer.queued || (buffer.header.dwFlags & WHDR_DONE) != 0;
        });
    }
    bool Failed() const override { return failed_; }

private:
    struct Buffer {
        std::vector<char> bytes;
        WAVEHDR header{};
        bool queued = false;
    };

    // Refills the buffers the device has finished with from the source. They play in the order
    // filled, so the next one to fill is the oldest: while it still plays, all the others do.
    void Feed() {
        while (source_ != nullptr && !failed_) {
            Buffer& buffer = buffers_[next_];
            if (buffer.queued && (buffer.header.dwFlags & WHDR_DONE) == 0) return;
            Release(buffer);
            const qint64 got =
                source_->read(buffer.bytes.data(), static_cast<qint64>(buffer.bytes.size()));
            dry_ = got <= 0;
            if (dry_) return;  // for now: a stop in the tape, or its end
            buffer.header = WAVEHDR{};
            buffer.header.lpData = buffer.bytes.data();
            buffer.header.dwBufferLength = static_cast<DWORD>(got);
            if (waveOutPrepareHeader(device_, &buffer.header, sizeof buffer.header) !=
                    MMSYSERR_NOERROR ||
                waveOutWrite(device_, &buffer.header, sizeof buffer.header) != MMSYSERR_NOERROR) {
                failed_ = true;
                return;
            }
            buffer.queued = true;
            next_ = (next_ + 1) % kBuffers;
        }
    }
    void Release(Buffer& buffer) {
        if (!buffer.queued) return;
        waveOutUnprepareHeader(device_, &buffer.header, sizeof buffer.header);
        buffer.queued = false;
    }

    HWAVEOUT device_;
    std::size_t bytesPerSample_;
    std::array<Buffer, kBuffers> buffers_;
    std::size_t next_ = 0;  // the oldest buffer
    QIODevice* source_ = nullptr;
    QTimer timer_;
    std::uint64_t played_ = 0;
    bool dry_ = false;  // the source gave nothing at its last read
    bool failed_ = false;
};

}  // namespace

std::unique_ptr<SoundOutput> MakeDeviceSoundOutput(SoundFormat format) {
    WAVEFORMATEX wave{};
    wave.wFormatTag = WAVE_FORMAT_PCM;
    wave.nChannels = 1;
    wave.nSamplesPerSec = format.rate;
    wave.wBitsPerSample = static_cast<WORD>(format.bits == 16 ? 16 : 8);
    wave.nBlockAlign = static_cast<WORD>(wave.wBitsPerSample / 8);
    wave.nAvgBytesPerSec = wave.nSamplesPerSec * wave.nBlockAlign;
    HWAVEOUT device = nullptr;
    if (waveOutOpen(&device, WAVE_MAPPER, &wave, 0, 0, CALLBACK_NULL) != MMSYSERR_NOERROR) {
        return nullptr;
    }
    return std::make_unique<WaveOutSoundOutput>(device, format);
}

}  // namespace brisalto
