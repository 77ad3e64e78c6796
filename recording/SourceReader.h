// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>

#include "ByteSource.h"
#include "RecordingProgress.h"

namespace brisalto {

// A pulse file's bytes read in order through a read-ahead of 64 KiB, telling progress (the part
// of the source passed) at each refill. Reads past the end give what there was.
class SourceReader {
public:
    SourceReader(ByteSource& source, const RecordingProgress& progress);

    // Up to count bytes into destination; fewer only at the end.
    std::size_t Read(std::uint8_t* destination, std::size_t count);
    // Little-endian numbers; false at the end (nothing or part of one was there).
    bool ReadU8(std::uint8_t& value);
    bool ReadU16(std::uint16_t& value);
    bool ReadU32(std::uint32_t& value);
    // Passes over count bytes; returns how many were there.
    std::uint64_t Skip(std::uint64_t count);
    // What the read-ahead holds next, refilled when empty; empty at the end. Taking n of them
    // is Consume(n).
    std::span<const std::uint8_t> Available();
    void Consume(std::size_t count) noexcept { begin_ += count; }
    std::uint64_t Position() const noexcept { return position_ - (end_ - begin_); }
    // Tells progress now (also done at each refill).
    void Poll() const;

private:
    bool Refill();

    ByteSource& source_;
    const RecordingProgress& progress_;
    std::uint64_t size_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::uint64_t position_ = 0;  // of the source, just past what the read-ahead holds
};

}  // namespace brisalto
