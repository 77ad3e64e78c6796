// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "ByteSource.h"

namespace brisalto {

// What tells whether a file changed: its length and its modification time, as the system keeps
// them (nanoseconds on POSIX, 100-nanosecond ticks on Windows).
struct FileStamp {
    std::uint64_t size = 0;
    std::int64_t modified = 0;
    bool operator==(const FileStamp&) const = default;
};

// The length and modification time of the file at path (bytes; UTF-8 on Windows) now, without opening it: the
// window asks this to know whether the tape it holds is still the file's. Nothing when the file
// cannot be looked at (gone, a device): opening it then says why, in the failure table's words.
std::optional<FileStamp> StampOfFile(const std::string& path) noexcept;

// How many files this process has opened (each OsFile made), for tests and figures: a tape is
// read with one open, whatever looks at it afterwards.
std::uint64_t OsFileOpens() noexcept;

// The operating system's file, opened for reading only (others may read and write it too).
// Every failure is an InOutError with the code of the failure table; the destructor closes
// quietly when Close() was not reached, so a failure travelling out never leaks the handle.
class OsFile final : public ByteSource {
public:
    // Opens an existing file by its path: the name's bytes on POSIX, UTF-8 on Windows.
    explicit OsFile(const std::string& path);
    ~OsFile() override;
    OsFile(const OsFile&) = delete;
    OsFile& operator=(const OsFile&) = delete;

    // Reads up to count bytes; returns fewer only at the end of the file.
    std::size_t Read(std::uint8_t* destination, std::size_t count) override;
    // Moves to an absolute position; a position past the end is allowed and then reads nothing.
    void SeekTo(std::uint64_t position) override;
    // The file's length in bytes now.
    std::uint64_t Size() override;
    // The file's length and modification time now.
    FileStamp Stamp();
    // Closes now and reports a failing close; later calls do nothing.
    void Close() override;

private:
#ifdef _WIN32
    void* handle_;
#else
    int descriptor_;
#endif
};

}  // namespace brisalto
