// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "ByteSource.h"
#include "TapeLocation.h"

namespace brisalto {

// A tape opened for reading by its location, a file or an archive entry, with its own read-ahead so
// that the many small reads of a scan cost one system call per 64 KiB instead of one each.
// Positions and counts are bytes.
class TapeFile {
public:
    // Opens the file, or reads the archive entry into memory (ArchiveError when the archive
    // fails); file-layer failures are InOutError.
    explicit TapeFile(const TapeLocation& location);
    // Reads bytes already in memory (a tape document's).
    explicit TapeFile(std::shared_ptr<const std::vector<std::uint8_t>> bytes);

    // Fills all of destination or fails with "Read beyond end of file" (the bytes that were
    // there are consumed).
    void ReadExact(std::span<std::uint8_t> destination) {
        if (ReadSome(destination) != destination.size()) ThrowReadBeyondEnd();
    }
    // Reads what is there, up to the size of destination, and returns the count read. Inline
    // for what the read-ahead already holds: a scan makes two such reads per block.
    std::size_t ReadSome(std::span<std::uint8_t> destination) {
        if (destination.size() > Buffered()) return ReadBeyondBuffer(destination);
        std::copy_n(buffer_.get() + begin_, destination.size(), destination.data());
        begin_ += destination.size();
        position_ += destination.size();
        return destination.size();
    }
    // Reads count bytes, or what is there before the end, handing them to use as one or more
    // pieces in file order straight from the read-ahead (each valid only during its call), and
    // returns the count read: a reader that only looks at bytes need not copy them first.
    template <typename Use>
    std::uint64_t ReadPieces(std::uint64_t count, Use use) {
        std::uint64_t done = 0;
        while (done < count && (Buffered() > 0 || Refill())) {
            const auto take =
                static_cast<std::size_t>(std::min<std::uint64_t>(count - done, Buffered()));
            use(std::span<const std::uint8_t>(buffer_.get() + begin_, take));
            begin_ += take;
            done += take;
            position_ += take;
        }
        return done;
    }
    // Passes over up to count bytes and returns how many there were before the end of the file.
    std::uint64_t Skip(std::uint64_t count);
    std::uint64_t Position() const noexcept { return position_; }
    void Seek(std::uint64_t position);
    bool AtEnd() { return Buffered() == 0 && !Refill(); }
    // Closes now so that a failing close is reported; the destructor closes quietly otherwise.
    void Close() { file_->Close(); }

private:
    static constexpr std::size_t kReadAhead = 64 * 1024;

    std::size_t Buffered() const noexcept { return end_ - begin_; }
    bool Refill();
    std::size_t ReadBeyondBuffer(std::span<std::uint8_t> destination);
    [[noreturn]] static void ThrowReadBeyondEnd();

    std::unique_ptr<ByteSource> file_;
    std::unique_ptr<std::uint8_t[]> buffer_;
    std::size_t begin_ = 0;
    std::size_t end_ = 0;
    std::uint64_t position_ = 0;  // position of the next byte handed out
};

}  // namespace brisalto
