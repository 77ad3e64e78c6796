// SPDX-License-Identifier: GPL-3.0-or-later
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <atomic>
#include <cerrno>

#include "ErrnoToInOutCode.h"
#include "InOutError.h"
#include "OsFile.h"

// Tapes past 2 GiB need 64-bit positions; the build asks for them on 32-bit systems too.
static_assert(sizeof(off_t) == 8, "off_t must be 64 bits: build with _FILE_OFFSET_BITS=64");

namespace brisalto {

namespace {

[[noreturn]] void ThrowLastError() {
    throw ErrnoToInOutError(errno);
}

std::atomic<std::uint64_t> opens{0};

FileStamp StampOf(const struct stat& status) {
    return {static_cast<std::uint64_t>(status.st_size),
            static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 +
                status.st_mtim.tv_nsec};
}

}  // namespace

std::optional<FileStamp> StampOfFile(const std::string& path) noexcept {
    struct stat status {};
    if (::stat(path.c_str(), &status) != 0) return std::nullopt;
    return StampOf(status);
}

std::uint64_t OsFileOpens() noexcept {
    return opens;
}

OsFile::OsFile(const std::string& path) {
    ++opens;
    do {
        // Non-blocking, so that a pipe given as a tape is refused below instead of waiting for a
        // writer.
        descriptor_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    } while (descriptor_ < 0 && errno == EINTR);
    if (descriptor_ < 0) ThrowLastError();

    // open() succeeds on a folder, a device or a pipe; none is a tape, and a device such as
    // /dev/zero would never reach its end.
    struct stat status {};
    const int error = ::fstat(descriptor_, &status) != 0 ? errno
                      : S_ISDIR(status.st_mode)          ? EISDIR
                      : !S_ISREG(status.st_mode)         ? EACCES
                                                         : 0;
    if (error != 0) {
        ::close(descriptor_);
        descriptor_ = -1;
        throw ErrnoToInOutError(error);
    }
}

OsFile::~OsFile() {
    if (descriptor_ >= 0) ::close(descriptor_);
}

std::size_t OsFile::Read(std::uint8_t* destination, std::size_t count) {
    std::size_t total = 0;
    while (total < count) {
        const ssize_t got = ::read(descriptor_, destination + total, count - total);
        if (got < 0) {
            if (errno == EINTR) continue;
            ThrowLastError();
        }
        if (got == 0) break;
        total += static_cast<std::size_t>(got);
    }
    return total;
}

void OsFile::SeekTo(std::uint64_t position) {
    if (::lseek(descriptor_, static_cast<off_t>(position), SEEK_SET) < 0) ThrowLastError();
}

std::uint64_t OsFile::Size() {
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0) ThrowLastError();
    return static_cast<std::uint64_t>(status.st_size);
}

FileStamp OsFile::Stamp() {
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0) ThrowLastError();
    return StampOf(status);
}

void OsFile::Close() {
    if (descriptor_ < 0) return;
    const int result = ::close(descriptor_);
    descriptor_ = -1;
    if (result != 0 && errno != EINTR) ThrowLastError();
}

}  // namespace brisalto
