// SPDX-License-Identifier: GPL-3.0-or-later
#include "OutputFile.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

#ifdef _WIN32
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include "IsTheOpenTape.h"
#include "ProgramStart.h"

namespace brisalto {

namespace {

#ifdef _WIN32
constexpr int kCreateFlags = _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY;
int OpenNew(const std::string& path) {
    return _wopen(FileSystemPath(path).c_str(), kCreateFlags, _S_IREAD | _S_IWRITE);
}
long WriteSome(int fd, const std::uint8_t* data, std::size_t count) {
    return _write(fd, data, static_cast<unsigned>(std::min<std::size_t>(count, 1u << 30)));
}
int Flush(int fd) {
    return _commit(fd);
}
int CloseFile(int fd) {
    return _close(fd);
}
int ProcessId() {
    return _getpid();
}
#else
int OpenNew(const std::string& path) {
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
}
long WriteSome(int fd, const std::uint8_t* data, std::size_t count) {
    return ::write(fd, data, count);
}
int Flush(int fd) {
    return ::fsync(fd);
}
int CloseFile(int fd) {
    return ::close(fd);
}
int ProcessId() {
    return ::getpid();
}
#endif

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
    throw OutputError(path + ": " + reason);
}

// The new file beside path, removed on every way out unless kept.
class PartFile {
public:
    explicit PartFile(const std::string& target) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            name_ = target + ".part-" + std::to_string(ProcessId()) + "-" + std::to_string(attempt);
            fd_ = OpenNew(name_);
            if (fd_ >= 0 || errno != EEXIST) break;
        }
        if (fd_ < 0) Fail(target, std::strerror(errno));
    }
    ~PartFile() {
        if (fd_ >= 0) CloseFile(fd_);
        if (!kept_) {
            std::error_code ignored;
            std::filesystem::remove(FileSystemPath(name_), ignored);
        }
    }
    PartFile(const PartFile&) = delete;
    PartFile& operator=(const PartFile&) = delete;

    // Writes all of bytes and closes; the OS error text on failure.
    std::string WriteAll(std::span<const std::uint8_t> bytes) {
        while (!bytes.empty()) {
            const long written = WriteSome(fd_, bytes.data(), bytes.size());
            if (written < 0) {
                if (errno == EINTR) continue;
                return std::strerror(errno);
            }
            bytes = bytes.subspan(static_cast<std::size_t>(written));
        }
        if (Flush(fd_) != 0) return std::strerror(errno);
        const int fd = fd_;
        fd_ = -1;
        if (CloseFile(fd) != 0) return std::strerror(errno);
        return {};
    }
    const std::string& Name() const noexcept { return name_; }
    void Keep() noexcept { kept_ = true; }

private:
    std::string name_;
    int fd_ = -1;
    bool kept_ = false;
};

}  // namespace

void WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                    const std::string& tapePath) {
    if (path == "-") {
        // An empty block's data has no address to hand to fwrite.
        if ((!bytes.empty() &&
             std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) ||
            std::fflush(stdout) != 0) {
            Fail("standard output", std::strerror(errno));
        }
        return;
    }
    if (IsTheOpenTape(path, tapePath)) Fail(path, kOverTheOpenTapeText);
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::status(FileSystemPath(path), error);
    if (std::filesystem::is_directory(status)) Fail(path, "is a folder");
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status)) {
        // A device or a pipe (/dev/null, a FIFO) is written to as it is: a file renamed over it
        // would put an ordinary file in its place.
        std::ofstream stream(FileSystemPath(path), std::ios::binary);
        stream.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()));
        stream.close();
        if (!stream) Fail(path, std::strerror(errno));
        return;
    }

    PartFile part(path);
    if (const std::string failure = part.WriteAll(bytes); !failure.empty()) Fail(path, failure);
    std::filesystem::rename(FileSystemPath(part.Name()), FileSystemPath(path), error);
    if (error) Fail(path, error.message());
    part.Keep();
}

}  // namespace brisalto
