// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReadTapeBytes.h"

#include <algorithm>
#include <vector>

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

ReadBytes ReadTapeBytes(const TapeLocation& location) {
    if (location.InArchive()) {
        SharedBytes entry = ReadArchiveEntry(location);
        return {std::move(entry), StampOfFile(location.path).value_or(FileStamp{})};
    }
    if (const std::optional<FileStamp> now = StampOfFile(location.path)) {
        if (SharedBytes kept = Kept().Take(location, *now)) return {std::move(kept), *now};
    }
    OsFile file(location.path);
    ReadBytes read = ReadFileStart(file);
    file.Close();
    return read;
}

}  // namespace brisalto
