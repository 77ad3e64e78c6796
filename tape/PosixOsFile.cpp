#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "ErrnoToInOutCode.h"
#include "InOutError.h"
#include "OsFile.h"

namespace brisalto {

namespace {

[[noreturn]] void ThrowLastError() { throw InOutError(ErrnoToInOutCode(errno)); }

}  // namespace

OsFile::OsFile(const std::string& path) {
    do {
        descriptor_ = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    } while (descriptor_ < 0 && errno == EINTR);
    if (descriptor_ < 0) ThrowLastError();

    // open() succeeds on a folder; reading it would fail later with a less helpful code.
    struct stat status {};
    if (::fstat(descriptor_, &status) != 0 || S_ISDIR(status.st_mode)) {
        const int error = S_ISDIR(status.st_mode) ? EISDIR : errno;
        ::close(descriptor_);
        descriptor_ = -1;
        throw InOutError(ErrnoToInOutCode(error));
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

void OsFile::Close() {
    if (descriptor_ < 0) return;
    const int result = ::close(descriptor_);
    descriptor_ = -1;
    if (result != 0 && errno != EINTR) ThrowLastError();
}

}  // namespace brisalto
