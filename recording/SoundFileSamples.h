// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include <sndfile.h>

#include "ByteSource.h"

namespace brisalto {

// The highest sample rate a recording may give; a higher one is a header that lies.
inline constexpr int kMaxSampleRate = 1'000'000;

// A sound file read by libsndfile (WAV, AIFF, FLAC, Ogg Vorbis... as the library was built),
// streamed a chunk at a time as mono samples, the channels mixed; it never holds more than a
// chunk, whatever the file's length. The file's bytes come through the file layer (libsndfile's
// virtual input), so a path is UTF-8 everywhere and fails with the tape's own codes and words.
// Refused with RecordingError: what libsndfile refuses (not a sound file, 1-bit samples...), no
// channels, a sample rate of 0 or above kMaxSampleRate. Failures of the file layer are
// InOutError.
class SoundFileSamples {
public:
    // The source is read from its start and must outlive this.
    explicit SoundFileSamples(ByteSource& source);
    // The file at path (UTF-8), opened once and held open.
    explicit SoundFileSamples(const std::string& path);
    // Bytes in memory (an archive's entry), which must outlive this.
    explicit SoundFileSamples(std::span<const std::uint8_t> bytes);
    ~SoundFileSamples();
    SoundFileSamples(const SoundFileSamples&) = delete;
    SoundFileSamples& operator=(const SoundFileSamples&) = delete;

    double SampleRate() const noexcept { return info_.samplerate; }
    int Channels() const noexcept { return info_.channels; }
    // The frames the file says it holds (a frame is one sample of each channel).
    std::int64_t Frames() const noexcept { return info_.frames; }

    // The next chunk of mono samples (each the mean of a frame's channels, -1 to 1), valid until
    // the next call; empty at the end. Damaged sound ends the samples there, with Note() saying
    // so; a failure of the file layer travels out.
    std::span<const float> Next();
    // How much of the file has been read, 0 to 1.
    double Fraction() const noexcept;
    // Why the samples ended before the file did; empty when they did not.
    const std::string& Note() const noexcept { return note_; }

private:
    void Open();
    static sf_count_t Length(void* self);
    static sf_count_t Seek(sf_count_t offset, int whence, void* self);
    static sf_count_t Read(void* destination, sf_count_t count, void* self);
    static sf_count_t Tell(void* self);

    std::unique_ptr<ByteSource> owned_;
    ByteSource& source_;
    std::uint64_t size_ = 0;
    std::uint64_t position_ = 0;
    std::exception_ptr failure_;  // a file-layer failure met inside a callback
    SF_VIRTUAL_IO io_{};
    SF_INFO info_{};
    struct CloseSoundFile {
        void operator()(SNDFILE* file) const noexcept { sf_close(file); }
    };
    std::unique_ptr<SNDFILE, CloseSoundFile> file_;
    std::vector<float> frames_;  // one chunk, channels interleaved
    std::vector<float> mono_;
    std::int64_t framesRead_ = 0;
    std::string note_;
};

}  // namespace brisalto
