// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeFile.h"

#include <algorithm>
#include <cstring>

#include "InOutError.h"
#include "KeptTape.h"
#include "MemorySource.h"
#include "OsFile.h"
#include "ReadArchiveEntry.h"

namespace brisalto {

namespace {

std::unique_ptr<ByteSource> OpenSource(const TapeLocation& location) {
    if (location.InArchive()) return std::make_unique<MemorySource>(ReadArchiveEntry(location));
    // The copy kept by the look that found the file a bare tape, while the file is unchanged.
    if (const std::optional<FileStamp> now = StampOfFile(location.path)) {
        if (SharedBytes kept = Kept().Take(location, *now))
            return std::make_unique<MemorySource>(std::move(kept));
    }
    return std::make_unique<OsFile>(location.path);
}

}  // namespace

TapeFile::TapeFile(const TapeLocation& location)
    : file_(OpenSource(location)),
      buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(kReadAhead)) {}

TapeFile::TapeFile(std::shared_ptr<const std::vector<std::uint8_t>> bytes)
    : file_(std::make_unique<MemorySource>(std::move(bytes))),
      buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(kReadAhead)) {}

bool TapeFile::Refill() {
    begin_ = 0;
    end_ = file_->Read(buffer_.get(), kReadAhead);
    return end_ > 0;
}

std::size_t TapeFile::ReadBeyondBuffer(std::span<std::uint8_t> destination) {
    std::size_t done = 0;
    while (done < destination.size()) {
        const std::size_t wanted = destination.size() - done;
        if (Buffered() == 0 && wanted >= kReadAhead) {
            // A large read goes straight to its destination.
            const std::size_t got = file_->Read(destination.data() + done, wanted);
            done += got;
            position_ += got;
            break;
        }
        if (Buffered() == 0 && !Refill()) break;
        const std::size_t take = std::min(wanted, Buffered());
        std::memcpy(destination.data() + done, buffer_.get() + begin_, take);
        begin_ += take;
        done += take;
        position_ += take;
    }
    return done;
}

std::uint64_t TapeFile::Skip(std::uint64_t count) {
    // Read rather than seek: a seek past the end succeeds and would hide a cut-off block.
    return ReadPieces(count, [](std::span<const std::uint8_t>) {});
}

void TapeFile::ThrowReadBeyondEnd() {
    throw InOutError(kReadBeyondEndOfFile);
}

void TapeFile::Seek(std::uint64_t position) {
    file_->SeekTo(position);
    begin_ = end_ = 0;
    position_ = position;
}

}  // namespace brisalto
