// SPDX-License-Identifier: GPL-3.0-or-later
#include "WavSound.h"

#include <algorithm>
#include <array>
#include <optional>
#include <string_view>
#include <utility>

#include "SoundError.h"

namespace brisalto {

namespace {

constexpr std::size_t kWavHeaderBytes = 44;
constexpr std::uint64_t kMostWavData = 0xFFFFFFFFu - kWavHeaderBytes;
constexpr std::size_t kPieceBytes = 64 * 1024;

void Append(std::vector<std::uint8_t>& bytes, std::string_view text) {
    bytes.insert(bytes.end(), text.begin(), text.end());
}

void AppendLittleEndian(std::vector<std::uint8_t>& bytes, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) {
        bytes.push_back(static_cast<std::uint8_t>(value % 256));
        value /= 256;
    }
}

// Fills a piece of samples at a time and hands each full piece to the sink.
class SampleWriter {
public:
    SampleWriter(ByteSink& sink, unsigned bits) : sink_(sink), bytesPerSample_(bits / 8) {
        // 8-bit samples are unsigned around 128, 16-bit ones signed around 0, low byte first.
        if (bits == 8) {
            high_ = {0xFF, 0};
            low_ = {0x00, 0};
        } else {
            high_ = {0xFF, 0x7F};  // 32767
            low_ = {0x01, 0x80};   // -32767
        }
    }

    void Add(bool high, std::uint64_t count) {
        const std::array<std::uint8_t, 2>& sample = high ? high_ : low_;
        while (count > 0) {
            const std::size_t room = (piece_.size() - used_) / bytesPerSample_;
            const auto take = static_cast<std::size_t>(std::min<std::uint64_t>(count, room));
            if (bytesPerSample_ == 1) {
                std::fill_n(piece_.begin() + static_cast<std::ptrdiff_t>(used_), take, sample[0]);
                used_ += take;
            } else {
                for (std::size_t i = 0; i < take; ++i) {
                    piece_[used_++] = sample[0];
                    piece_[used_++] = sample[1];
                }
            }
            count -= take;
            if (used_ + bytesPerSample_ > piece_.size()) Flush();
        }
    }
    void Flush() {
        if (used_ > 0) sink_.Write(std::span<const std::uint8_t>(piece_.data(), used_));
        used_ = 0;
    }

private:
    ByteSink& sink_;
    std::size_t bytesPerSample_;
    std::array<std::uint8_t, 2> high_{};
    std::array<std::uint8_t, 2> low_{};
    std::array<std::uint8_t, kPieceBytes> piece_{};
    std::size_t used_ = 0;
};

}  // namespace

std::vector<std::uint8_t> WavHeader(SoundFormat format, std::uint64_t samples) {
    const unsigned bytesPerSample = format.bits / 8;
    const std::uint64_t data = samples * bytesPerSample;
    std::vector<std::uint8_t> header;
    Append(header, "RIFF");
    AppendLittleEndian(header, data + kWavHeaderBytes - 8, 4);
    Append(header, "WAVE");
    Append(header, "fmt ");
    AppendLittleEndian(header, 16, 4);  // the format chunk's size
    AppendLittleEndian(header, 1, 2);   // PCM
    AppendLittleEndian(header, 1, 2);   // mono
    AppendLittleEndian(header, format.rate, 4);
    AppendLittleEndian(header, std::uint64_t{format.rate} * bytesPerSample, 4);  // bytes a second
    AppendLittleEndian(header, bytesPerSample, 2);                               // one sample
    AppendLittleEndian(header, format.bits, 2);
    Append(header, "data");
    AppendLittleEndian(header, data, 4);
    return header;
}

WavSound::WavSound(TapeSoundBytes tape, SoundFormat format, SignalLimits limits)
    : tape_(std::move(tape)), format_(format), limits_(limits) {
    TapeSignal signal(tape_.bytes, tape_.tzx, limits);
    SignalRun run;
    while (signal.Next(run)) {
    }
    tstates_ = signal.Tstates();
    samples_ = SampleClock::SamplesAt(tstates_, format.rate);
    if (samples_ * (format.bits / 8) > kMostWavData) {
        throw SoundError("The tape's sound is too long for a WAV file at this rate");
    }
}

std::uint64_t WavSound::FileBytes() const noexcept {
    return kWavHeaderBytes + samples_ * (format_.bits / 8);
}

namespace {

// Writes the samples of the tape's signal to sink; the count written, or nothing when progress
// stopped it. total is only told to progress.
std::optional<std::uint64_t> WriteSamples(const TapeSoundBytes& tape, SoundFormat format,
                                          SignalLimits limits, ByteSink& sink,
                                          const SoundProgress& progress, std::uint64_t total) {
    TapeSignal signal(tape.bytes, tape.tzx, limits);
    SampleClock clock(format.rate);
    SampleWriter writer(sink, format.bits);
    std::uint64_t done = 0;
    std::uint64_t told = 0;
    SignalRun run;
    while (signal.Next(run)) {
        const std::uint64_t count = clock.Advance(run.tstates);
        writer.Add(run.high, count);
        done += count;
        // About ten times a second of sound is plenty for a progress bar.
        if (progress && done - told >= format.rate / 10) {
            told = done;
            if (!progress(done, total)) return std::nullopt;
        }
    }
    writer.Flush();
    return done;
}

}  // namespace

bool WavSound::Write(ByteSink& sink, const SoundProgress& progress) const {
    sink.Write(WavHeader(format_, samples_));
    const std::optional<std::uint64_t> done =
        WriteSamples(tape_, format_, limits_, sink, progress, samples_);
    if (!done) return false;
    if (*done != samples_) throw SoundError("The tape's sound changed while it was written");
    if (progress) progress(*done, samples_);
    return true;
}

std::uint64_t WriteWavInOneWalk(
    const TapeSoundBytes& tape, SoundFormat format, ByteSink& sink,
    const std::function<void(std::span<const std::uint8_t> header)>& rewriteHeader,
    SignalLimits limits) {
    sink.Write(WavHeader(format, 0));
    const std::uint64_t samples = *WriteSamples(tape, format, limits, sink, nullptr, 0);
    if (samples * (format.bits / 8) > kMostWavData) {
        throw SoundError("The tape's sound is too long for a WAV file at this rate");
    }
    rewriteHeader(WavHeader(format, samples));
    return samples;
}

}  // namespace brisalto
