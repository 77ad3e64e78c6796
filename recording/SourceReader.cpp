// SPDX-License-Identifier: GPL-3.0-or-later
#include "SourceReader.h"

#include <algorithm>
#include <cstring>

namespace brisalto {

namespace {

constexpr std::size_t kReadAhead = 64 * 1024;

}  // namespace

SourceReader::SourceReader(ByteSource& source, const RecordingProgress& progress)
    : source_(source),
      progress_(progress),
      size_(source.Size()),
      buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(kReadAhead)) {
    source_.SeekTo(0);
}

void SourceReader::Poll() const {
    ReportProgress(progress_,
                   size_ == 0 ? 1.0 : double(std::min(Position(), size_)) / double(size_));
}

bool SourceReader::Refill() {
    Poll();
    begin_ = 0;
    end_ = source_.Read(buffer_.get(), kReadAhead);
    position_ += end_;
    return end_ > 0;
}

std::span<const std::uint8_t> SourceReader::Available() {
    if (begin_ == end_ && !Refill()) return {};
    return {buffer_.get() + begin_, end_ - begin_};
}

std::size_t SourceReader::Read(std::uint8_t* destination, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        const std::span<const std::uint8_t> there = Available();
        if (there.empty()) break;
        const std::size_t take = std::min(count - done, there.size());
        std::memcpy(destination + done, there.data(), take);
        Consume(take);
        done += take;
    }
    return done;
}

bool SourceReader::ReadU8(std::uint8_t& value) {
    return Read(&value, 1) == 1;
}

bool SourceReader::ReadU16(std::uint16_t& value) {
    std::uint8_t bytes[2];
    if (Read(bytes, 2) != 2) return false;
    value = static_cast<std::uint16_t>(bytes[0] | bytes[1] << 8);
    return true;
}

bool SourceReader::ReadU32(std::uint32_t& value) {
    std::uint8_t bytes[4];
    if (Read(bytes, 4) != 4) return false;
    value = std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
            std::uint32_t(bytes[3]) << 24;
    return true;
}

std::uint64_t SourceReader::Skip(std::uint64_t count) {
    const std::uint64_t held = end_ - begin_;
    if (count <= held) {
        begin_ += static_cast<std::size_t>(count);
        return count;
    }
    // Past the read-ahead: a seek, never beyond the end, so that a cut-off file shows as one.
    const std::uint64_t target = std::min(Position() + count, std::max(size_, position_));
    const std::uint64_t skipped = target - Position();
    begin_ = end_ = 0;
    position_ = target;
    source_.SeekTo(target);
    Poll();
    return skipped;
}

}  // namespace brisalto
