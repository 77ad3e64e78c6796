// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveReader.h"

#include <archive_entry.h>

#include <atomic>
#include <cstdio>

#include "InOutError.h"
#include "ReadTapeBytes.h"
#include "TapeArchive.h"

namespace brisalto {

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

// Everything an archive unpacks to as it is walked, entries passed over included: a streamed
// archive (tar.gz) is unpacked to walk past its entries, and a bomb would take minutes.
constexpr std::int64_t kMaxStreamBytes = 256ll << 20;

std::atomic<std::uint64_t> walks{0};

}  // namespace

ArchiveReader::ArchiveReader(const std::string& path, Mode mode)
    : path_(path),
      file_(std::make_unique<OsFile>(path)),
      stamp_(file_->Stamp()),
      buffer_(std::make_unique_for_overwrite<std::uint8_t[]>(kReadChunk)),
      handle_(archive_read_new()),
      archive_(handle_.get()) {
    if (archive_ == nullptr) throw ArchiveError("Not enough memory to read the archive " + path_);
    ++walks;
    // Signatures of their own and no outside programs: lzma, uu, rpm, lrzip, lzop and grzip
    // are left out, cpio and mtree too, whose weak signatures a tape could match.
    for (const auto support : {archive_read_support_filter_gzip, archive_read_support_filter_bzip2,
                               archive_read_support_filter_xz, archive_read_support_filter_lzip,
                               archive_read_support_filter_zstd, archive_read_support_filter_lz4,
                               archive_read_support_filter_compress}) {
        support(archive_);  // a filter built without its library still reports the format
    }
    if (mode == Mode::Raw) {
        archive_read_support_format_raw(archive_);
    } else {
        for (const auto support :
             {archive_read_support_format_zip, archive_read_support_format_7zip,
              archive_read_support_format_rar, archive_read_support_format_rar5,
              archive_read_support_format_tar, archive_read_support_format_iso9660,
              archive_read_support_format_cab, archive_read_support_format_lha,
              archive_read_support_format_ar, archive_read_support_format_xar}) {
            support(archive_);
        }
    }
    archive_read_set_read_callback(archive_, &ReadCallback);
    archive_read_set_seek_callback(archive_, &SeekCallback);
    archive_read_set_skip_callback(archive_, &SkipCallback);
    archive_read_set_callback_data(archive_, this);
    // Opening chooses the filters and the format; none chose the file when the library says
    // so in these words (its error code is shared with damaged archives).
    if (archive_read_open1(archive_) != ARCHIVE_OK) {
        if (failure_) std::rethrow_exception(failure_);
        if (Reason() != "Unrecognized archive format") Fail({});
        unrecognised_ = true;
        compressed_ = archive_filter_count(archive_) > 1;
    }
}

ArchiveReader::~ArchiveReader() = default;

std::uint64_t ArchiveWalks() noexcept {
    return walks;
}

la_ssize_t ArchiveReader::ReadCallback(struct archive* archive, void* self, const void** buffer) {
    auto& reader = *static_cast<ArchiveReader*>(self);
    try {
        // Only unpacking multiplies bytes: the file's own, seeks to its end included, are no
        // bomb (counted, they made every file past 256 MiB an archive too large to read).
        if (archive_filter_count(archive) > 1 &&
            archive_filter_bytes(archive, 0) > kMaxStreamBytes) {
            throw ArchiveError("The archive " + reader.path_ +
                               " unpacks to more than 256 MiB, far more than any tapes");
        }
        const std::size_t got = reader.file_->Read(reader.buffer_.get(), kReadChunk);
        reader.position_ += got;
        *buffer = reader.buffer_.get();
        return static_cast<la_ssize_t>(got);
    } catch (...) {
        reader.failure_ = std::current_exception();
        archive_set_error(archive, EIO, "read failed");
        return -1;
    }
}

la_int64_t ArchiveReader::SeekCallback(struct archive* archive, void* self, la_int64_t offset,
                                       int whence) {
    auto& reader = *static_cast<ArchiveReader*>(self);
    try {
        const auto size = static_cast<la_int64_t>(reader.file_->Size());
        const la_int64_t base = whence == SEEK_SET   ? 0
                                : whence == SEEK_CUR ? static_cast<la_int64_t>(reader.position_)
                                                     : size;
        const la_int64_t target = base + offset;
        if (target < 0) return ARCHIVE_FATAL;
        reader.file_->SeekTo(static_cast<std::uint64_t>(target));
        reader.position_ = static_cast<std::uint64_t>(target);
        return target;
    } catch (...) {
        reader.failure_ = std::current_exception();
        archive_set_error(archive, EIO, "seek failed");
        return ARCHIVE_FATAL;
    }
}

la_int64_t ArchiveReader::SkipCallback(struct archive* archive, void* self, la_int64_t request) {
    auto& reader = *static_cast<ArchiveReader*>(self);
    try {
        // Never past the end, so that the library sees a cut-off archive as one.
        const auto size = static_cast<la_int64_t>(reader.file_->Size());
        const la_int64_t here = static_cast<la_int64_t>(reader.position_);
        const la_int64_t skipped =
            request < 0 ? 0 : std::min(request, std::max<la_int64_t>(0, size - here));
        reader.file_->SeekTo(static_cast<std::uint64_t>(here + skipped));
        reader.position_ = static_cast<std::uint64_t>(here + skipped);
        return skipped;
    } catch (...) {
        reader.failure_ = std::current_exception();
        archive_set_error(archive, EIO, "skip failed");
        return ARCHIVE_FATAL;
    }
}

ArchiveReader::Step ArchiveReader::Next() {
    if (unrecognised_) return Step::Unrecognised;
    const int result = archive_read_next_header(archive_, &entry_);
    if (result == ARCHIVE_OK || result == ARCHIVE_WARN) return Step::Entry;
    if (result == ARCHIVE_EOF) return Step::End;
    RethrowOrFail({});
}

bool ArchiveReader::Compressed() const {
    return unrecognised_ ? compressed_ : archive_filter_count(archive_) > 1;
}

bool ArchiveReader::Tar() const {
    return !unrecognised_ &&
           (archive_format(archive_) & ARCHIVE_FORMAT_BASE_MASK) == ARCHIVE_FORMAT_TAR;
}

void ArchiveReader::ReadData(std::vector<std::uint8_t>& bytes, std::uint64_t limit,
                             const std::string& entry) {
    // Not into buffer_: the library may still be reading the archive's own bytes from there.
    const auto tooLarge = [&] {
        return ArchiveError("The tape " + entry + " in the archive " + path_ +
                            " unpacks to more than 64 MiB, far more than any tape");
    };
    // Refused by its stated size before anything is unpacked; a size that lies is caught below.
    if (archive_entry_size_is_set(entry_)) {
        const auto size = static_cast<std::uint64_t>(archive_entry_size(entry_));
        if (size > limit) throw tooLarge();
        bytes.reserve(static_cast<std::size_t>(size));
    }
    const auto chunk = std::make_unique_for_overwrite<std::uint8_t[]>(kReadChunk);
    for (;;) {
        const la_ssize_t got = archive_read_data(archive_, chunk.get(), kReadChunk);
        if (got == 0) return;
        if (got < 0) RethrowOrFail(entry);
        if (bytes.size() + static_cast<std::size_t>(got) > limit) throw tooLarge();
        bytes.insert(bytes.end(), chunk.get(), chunk.get() + got);
    }
}

std::shared_ptr<const std::vector<std::uint8_t>> ArchiveReader::ReadWholeFile() {
    if (stamp_.size > kMaxTapeFileBytes || StartsAsRecording(*file_)) return nullptr;
    ReadBytes read = ReadFileStart(*file_);
    return read.cut ? nullptr : std::move(read.bytes);
}

std::unique_ptr<OsFile> ArchiveReader::TakeRecording() {
    if (!unrecognised_ || compressed_ || !StartsAsRecording(*file_)) return nullptr;
    return std::move(file_);
}

std::string ArchiveReader::Reason() const {
    const char* text = archive_error_string(archive_);
    return text != nullptr ? text : "no reason given";
}

void ArchiveReader::RethrowOrFail(const std::string& entry) const {
    if (failure_) std::rethrow_exception(failure_);
    Fail(entry);
}

void ArchiveReader::Fail(const std::string& entry) const {
    const std::string reason = Reason();
    const std::string what =
        entry.empty() ? "The archive " + path_ : "The tape " + entry + " in the archive " + path_;
    if (reason.find("nsupported") != std::string::npos) {
        throw ArchiveError(what + " is packed in a way Brisalto cannot read (" + reason + ")");
    }
    if (reason.find("ncrypt") != std::string::npos ||
        reason.find("assphrase") != std::string::npos) {
        throw ArchiveError(what + " is encrypted, and Brisalto reads no encrypted tapes");
    }
    throw ArchiveError(what + " is damaged (" + reason + ")");
}

}  // namespace brisalto
