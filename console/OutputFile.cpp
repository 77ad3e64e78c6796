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

// A new file named stem, the process and a count, then suffix; removed on every way out unless
// kept. By default the new file beside target.
class PartFile {
public:
    explicit PartFile(const std::string& target) : PartFile(target, target + ".part-", {}) {}
    PartFile(const std::string& target, const std::string& stem, const std::string& suffix) {
        for (int attempt = 0; attempt < 100; ++attempt) {
            name_ = stem + std::to_string(ProcessId()) + "-" + std::to_string(attempt) + suffix;
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

// How a path is written.
enum class Target { StandardOutput, AsItIs, NewFile };

// How path is written, after refusing what cannot be.
Target TargetOf(const std::string& path, const std::string& tapePath) {
    if (path == "-") return Target::StandardOutput;
    if (IsTheOpenTape(path, tapePath)) Fail(path, kOverTheOpenTapeText);
    std::error_code error;
    const std::filesystem::file_status status =
        std::filesystem::status(FileSystemPath(path), error);
    if (std::filesystem::is_directory(status)) Fail(path, "is a folder");
    // A device or a pipe (/dev/null, a FIFO) is written to as it is: a file renamed over it
    // would put an ordinary file in its place.
    if (std::filesystem::exists(status) && !std::filesystem::is_regular_file(status))
        return Target::AsItIs;
    return Target::NewFile;
}

}  // namespace

void CheckCanWrite(const std::string& path, const std::string& tapePath) {
    // A pipe opened to look would wait for its reader.
    if (TargetOf(path, tapePath) == Target::NewFile) {
        const PartFile probe(path);
    }
}

std::string KeepInTemporaryFile(std::span<const std::uint8_t> bytes, const std::string& name,
                                const std::string& suffix) {
    std::error_code error;
    const std::filesystem::path folder = std::filesystem::temp_directory_path(error);
    if (error) Fail("the temporary folder", error.message());
    const std::u8string utf8 = (folder / name).u8string();
    const std::string stem = std::string(utf8.begin(), utf8.end()) + "-";
    PartFile kept(stem + "*" + suffix, stem, suffix);
    if (const std::string failure = kept.WriteAll(bytes); !failure.empty())
        Fail(kept.Name(), failure);
    kept.Keep();
    return kept.Name();
}

void WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                    const std::string& tapePath) {
    const Target target = TargetOf(path, tapePath);
    if (target == Target::StandardOutput) {
        // An empty block's data has no address to hand to fwrite.
        if ((!bytes.empty() &&
             std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) ||
            std::fflush(stdout) != 0) {
            Fail("standard output", std::strerror(errno));
        }
        return;
    }
    if (target == Target::AsItIs) {
        std::ofstream stream(FileSystemPath(path), std::ios::binary);
        stream.write(reinterpret_cast<const char*>(bytes.data()),
                     static_cast<std::streamsize>(bytes.size()));
        stream.close();
        if (!stream) Fail(path, std::strerror(errno));
        return;
    }

    PartFile part(path);
    if (const std::string failure = part.WriteAll(bytes); !failure.empty()) Fail(path, failure);
    std::error_code error;
    std::filesystem::rename(FileSystemPath(part.Name()), FileSystemPath(path), error);
    if (error) Fail(path, error.message());
    part.Keep();
}

}  // namespace brisalto
