// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReadTapeBytes.h"

#include <vector>

#include "ReadArchiveEntry.h"

namespace brisalto {

KeptTape& Kept() {
    static KeptTape kept;
    return kept;
}

SharedBytes ReadWholeFile(OsFile& file, const std::string& path) {
    const std::uint64_t size = file.Size();
    if (size > kMaxTapeFileBytes) {
        throw TapeTooLargeError("The file " + path +
                                " is larger than 256 MiB, far more than any tape");
    }
    auto bytes = std::make_shared<std::vector<std::uint8_t>>(static_cast<std::size_t>(size));
    file.SeekTo(0);
    bytes->resize(file.Read(bytes->data(), bytes->size()));
    return bytes;
}

ReadBytes ReadTapeBytes(const TapeLocation& location) {
    if (location.InArchive()) {
        SharedBytes entry = ReadArchiveEntry(location);
        return {std::move(entry), StampOfFile(location.path)};
    }
    const FileStamp now = StampOfFile(location.path);
    if (SharedBytes kept = Kept().Find(location, now)) return {std::move(kept), now};
    OsFile file(location.path);
    const FileStamp stamp = file.Stamp();
    SharedBytes bytes = ReadWholeFile(file, location.path);
    file.Close();
    Kept().Keep(location, stamp, bytes);
    return {std::move(bytes), stamp};
}

}  // namespace brisalto
