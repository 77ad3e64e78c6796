// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include <archive.h>

#include "OsFile.h"

namespace brisalto {

// One pass of the archive library over a file opened through the file layer, so that a missing
// or unreadable archive fails with the same codes and words as a missing or unreadable tape.
// Decompression filters and archive formats are those that need no outside program and have a
// signature of their own; a filter alone (a compressed single file) is read in Raw mode.
class ArchiveReader {
public:
    enum class Mode { Formats, Raw };
    enum class Step { Entry, End, Unrecognised };

    ArchiveReader(const std::string& path, Mode mode);
    ~ArchiveReader();
    ArchiveReader(const ArchiveReader&) = delete;
    ArchiveReader& operator=(const ArchiveReader&) = delete;

    // Moves to the next entry. Unrecognised: no format took the file. A failure of the file layer
    // travels out as InOutError, one of the archive as ArchiveError through Fail.
    Step Next();
    // Whether a decompression filter took the file's bytes.
    bool Compressed() const;
    // Whether the file was taken as a tar archive.
    bool Tar() const;
    archive_entry* Entry() const noexcept { return entry_; }
    // Appends the current entry's bytes to bytes, failing past limit bytes in all.
    void ReadData(std::vector<std::uint8_t>& bytes, std::uint64_t limit, const std::string& entry);
    // The whole file from its start, for a file no format took (a bare tape), so that it is
    // read through the one open; empty for a file larger than a tape is read (kMaxTapeFileBytes)
    // and for a sound recording, which is decoded as it streams, never read whole.
    std::shared_ptr<const std::vector<std::uint8_t>> ReadWholeFile();
    // For a file no format took that begins as a sound recording: the open file, from its start,
    // handed on so that decoding it takes no second open (nothing more is read here after it).
    // nullptr for any other file.
    std::unique_ptr<OsFile> TakeRecording();
    // The archive file's size and modification time as it was opened.
    const FileStamp& Stamp() const noexcept { return stamp_; }
    // What the library said of the last failure.
    std::string Reason() const;
    [[noreturn]] void Fail(const std::string& entry) const;

private:
    static la_ssize_t ReadCallback(struct archive*, void* self, const void** buffer);
    static la_int64_t SeekCallback(struct archive*, void* self, la_int64_t offset, int whence);
    static la_int64_t SkipCallback(struct archive*, void* self, la_int64_t request);
    [[noreturn]] void RethrowOrFail(const std::string& entry) const;

    std::string path_;
    std::unique_ptr<OsFile> file_;  // handed on by TakeRecording
    FileStamp stamp_;
    std::uint64_t position_ = 0;
    // The archive's bytes as last read, lent to the library.
    std::unique_ptr<std::uint8_t[]> buffer_;
    struct FreeArchive {
        void operator()(struct archive* archive) const noexcept { archive_read_free(archive); }
    };
    // Freed also when the constructor fails half way.
    std::unique_ptr<struct archive, FreeArchive> handle_;
    struct archive* archive_ = nullptr;
    archive_entry* entry_ = nullptr;
    std::exception_ptr failure_;  // a file-layer failure met inside a callback
    bool unrecognised_ = false;   // no format took the file
    bool compressed_ = false;     // a filter took it all the same
};

}  // namespace brisalto
