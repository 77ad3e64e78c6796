// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundFileSamples.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "OsFile.h"
#include "RecordingErrors.h"
#include "SpanSource.h"

namespace brisalto {

namespace {

// The samples read at a time, all channels together: 256 KiB of floats.
constexpr std::size_t kChunkSamples = 64 * 1024;

// libsndfile's words for its last failure, without the full stop it ends them with.
std::string LibraryReason(SNDFILE* file) {
    std::string reason = sf_strerror(file);
    while (!reason.empty() && (reason.back() == '.' || reason.back() == '\n')) reason.pop_back();
    return reason;
}

std::string RateRefusal(std::uint64_t rate) {
    return "The recording gives a sample rate of " + std::to_string(rate) +
           " Hz; Brisalto reads rates of 1 to 1,000,000 Hz";
}

std::uint32_t Little(const std::uint8_t* bytes, int count) {
    std::uint32_t value = 0;
    for (int i = count - 1; i >= 0; --i) value = value << 8 | bytes[i];
    return value;
}

// A WAV file's format, checked before libsndfile sees it: some of what it refuses it words as
// its own fault ("SF_INFO struct incomplete" for a rate of 0), and it reads 1-bit samples as
// bytes. A WAV file (RIFF or RF64) is chunks, each a four-letter name and a 32-bit length, after
// "RIFF", a length and "WAVE"; the "fmt " chunk holds the format (16 bits: 1 integers, 3
// floating point, 0xFFFE extensible), channels (16 bits), rate (32 bits), bytes a second (32),
// bytes a frame (16), bits a sample (16). It is looked for in the first 4 KiB.
void CheckWavFormat(ByteSource& source) {
    std::array<std::uint8_t, 4096> start{};
    source.SeekTo(0);
    const std::size_t got = source.Read(start.data(), start.size());
    source.SeekTo(0);
    const auto at = [&](std::size_t offset, std::string_view text) {
        return got >= offset + text.size() &&
               std::memcmp(start.data() + offset, text.data(), text.size()) == 0;
    };
    if (!(at(0, "RIFF") || at(0, "RF64")) || !at(8, "WAVE")) return;
    for (std::size_t chunk = 12; chunk < got && got - chunk >= 8;) {
        const std::uint32_t length = Little(start.data() + chunk + 4, 4);
        if (!at(chunk, "fmt ")) {
            if (length > got) return;
            chunk += 8 + length + (length & 1);
            continue;
        }
        if (length < 16 || got - chunk < 24) return;
        const std::uint8_t* format = start.data() + chunk + 8;
        const std::uint32_t kind = Little(format, 2);
        const std::uint32_t channels = Little(format + 2, 2);
        const std::uint32_t rate = Little(format + 4, 4);
        const std::uint32_t bits = Little(format + 14, 2);
        if (channels == 0) throw RecordingError("The recording has no channels");
        if (rate == 0 || rate > kMaxSampleRate) throw RecordingError(RateRefusal(rate));
        const bool integers = kind == 1 || kind == 0xFFFE;
        if ((integers && bits != 8 && bits != 16 && bits != 24 && bits != 32) ||
            (kind == 3 && bits != 32 && bits != 64)) {
            throw RecordingError("The recording's samples are of " + std::to_string(bits) +
                                 " bits; Brisalto reads samples of 8, 16, 24 or 32 bits");
        }
        return;
    }
}

}  // namespace

SoundFileSamples::SoundFileSamples(ByteSource& source) : source_(source) {
    Open();
}

SoundFileSamples::SoundFileSamples(const std::string& path)
    : owned_(std::make_unique<OsFile>(path)), source_(*owned_) {
    Open();
}

SoundFileSamples::SoundFileSamples(std::span<const std::uint8_t> bytes)
    : owned_(std::make_unique<SpanSource>(bytes)), source_(*owned_) {
    Open();
}

SoundFileSamples::~SoundFileSamples() = default;

void SoundFileSamples::Open() {
    size_ = source_.Size();
    CheckWavFormat(source_);
    io_ = {&Length, &Seek, &Read, nullptr, &Tell};
    file_.reset(sf_open_virtual(&io_, SFM_READ, &info_, this));
    if (failure_) std::rethrow_exception(failure_);
    if (!file_) {
        throw RecordingError("The recording cannot be read as sound (" + LibraryReason(nullptr) +
                             ")");
    }
    if (info_.channels < 1) throw RecordingError("The recording has no channels");
    if (info_.samplerate < 1 || info_.samplerate > kMaxSampleRate)
        throw RecordingError(
            RateRefusal(static_cast<std::uint64_t>(std::max(info_.samplerate, 0))));
    const std::size_t channels = static_cast<std::size_t>(info_.channels);
    frames_.resize(std::max<std::size_t>(1, kChunkSamples / channels) * channels);
    mono_.resize(frames_.size() / channels);
}

std::span<const float> SoundFileSamples::Next() {
    if (!note_.empty()) return {};
    const auto channels = static_cast<std::size_t>(info_.channels);
    const sf_count_t got =
        sf_readf_float(file_.get(), frames_.data(), static_cast<sf_count_t>(mono_.size()));
    if (failure_) std::rethrow_exception(failure_);
    if (got <= 0) {
        if (sf_error(file_.get()) != SF_ERR_NO_ERROR)
            note_ =
                "The recording's sound is damaged past here (" + LibraryReason(file_.get()) + ")";
        return {};
    }
    const auto frames = static_cast<std::size_t>(got);
    framesRead_ += got;
    if (channels == 1) return {frames_.data(), frames};
    for (std::size_t frame = 0; frame < frames; ++frame) {
        float sum = 0;
        for (std::size_t channel = 0; channel < channels; ++channel)
            sum += frames_[frame * channels + channel];
        mono_[frame] = sum / static_cast<float>(channels);
    }
    return {mono_.data(), frames};
}

double SoundFileSamples::Fraction() const noexcept {
    // The frames read of those stated where the file states them, else the bytes passed.
    if (info_.frames > 0 && info_.frames < SF_COUNT_MAX)
        return std::min(1.0, double(framesRead_) / double(info_.frames));
    return size_ == 0 ? 1.0 : std::min(1.0, double(position_) / double(size_));
}

sf_count_t SoundFileSamples::Length(void* self) {
    return static_cast<sf_count_t>(static_cast<SoundFileSamples*>(self)->size_);
}

sf_count_t SoundFileSamples::Seek(sf_count_t offset, int whence, void* self) {
    auto& samples = *static_cast<SoundFileSamples*>(self);
    const auto base = whence == SEEK_SET   ? 0
                      : whence == SEEK_CUR ? static_cast<sf_count_t>(samples.position_)
                                           : static_cast<sf_count_t>(samples.size_);
    const sf_count_t target = base + offset;
    if (target < 0) return -1;
    try {
        samples.source_.SeekTo(static_cast<std::uint64_t>(target));
    } catch (...) {
        samples.failure_ = std::current_exception();
        return -1;
    }
    samples.position_ = static_cast<std::uint64_t>(target);
    return target;
}

sf_count_t SoundFileSamples::Read(void* destination, sf_count_t count, void* self) {
    auto& samples = *static_cast<SoundFileSamples*>(self);
    if (count <= 0 || samples.failure_) return 0;
    try {
        const std::size_t got = samples.source_.Read(static_cast<std::uint8_t*>(destination),
                                                     static_cast<std::size_t>(count));
        samples.position_ += got;
        return static_cast<sf_count_t>(got);
    } catch (...) {
        samples.failure_ = std::current_exception();
        return 0;
    }
}

sf_count_t SoundFileSamples::Tell(void* self) {
    return static_cast<sf_count_t>(static_cast<SoundFileSamples*>(self)->position_);
}

}  // namespace brisalto
