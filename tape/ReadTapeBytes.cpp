// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReadTapeBytes.h"

#include <algorithm>
#include <array>
#include <vector>

#include "IsRecording.h"
#include "MemorySource.h"
#include "ReadArchiveEntry.h"

namespace brisalto {

KeptTape& Kept() {
    static KeptTape kept;
    return kept;
}

ReadBytes ReadFileStart(OsFile& file) {
    const FileStamp stamp = file.Stamp();
    const std::uint64_t wanted = std::min(stamp.size, kMaxTapeFileBytes);
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(wanted));
    file.SeekTo(0);
    bytes->resize(file.Read(bytes->data(), bytes->size()));
    return {std::move(bytes), stamp, stamp.size > wanted};
}

bool StartsAsRecording(ByteSource& source) {
    std::array<std::uint8_t, kRecordingStartBytes> start{};
    source.SeekTo(0);
    const std::size_t got = source.Read(start.data(), start.size());
    source.SeekTo(0);
    return IsRecordingStart(std::span(start).first(got));
}

namespace {

// Bytes in memory as a tape, or as a recording's source when they are one.
ReadBytes TapeOrRecording(SharedBytes bytes, const FileStamp& stamp) {
    if (!IsRecordingStart(std::span(*bytes).first(std::min(bytes->size(), kRecordingStartBytes))))
        return {std::move(bytes), stamp};
    ReadBytes read;
    read.stamp = stamp;
    read.recording = std::make_unique<MemorySource>(std::move(bytes));
    return read;
}

}  // namespace

ReadBytes ReadTapeBytes(const TapeLocation& location) {
    if (location.InArchive()) {
        SharedBytes entry = ReadArchiveEntry(location);
        return TapeOrRecording(std::move(entry), StampOfFile(location.path).value_or(FileStamp{}));
    }
    if (const std::optional<FileStamp> now = StampOfFile(location.path)) {
        if (SharedBytes kept = Kept().Take(location, *now))
            return TapeOrRecording(std::move(kept), *now);
        if (std::unique_ptr<ByteSource> recording = Kept().TakeRecording(location, *now)) {
            recording->SeekTo(0);
            ReadBytes read;
            read.stamp = *now;
            read.recording = std::move(recording);
            return read;
        }
    }
    auto file = std::make_unique<OsFile>(location.path);
    if (StartsAsRecording(*file)) {
        ReadBytes read;
        read.stamp = file->Stamp();
        read.recording = std::move(file);
        return read;
    }
    ReadBytes read = ReadFileStart(*file);
    file->Close();
    return read;
}

}  // namespace brisalto
