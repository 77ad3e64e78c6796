// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <fcntl.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

#ifdef __linux__
#include <linux/fs.h>
#endif

#include <string>
#include <utility>

namespace brisalto::testing {

// Makes a file read-only for the scope: mode 0444, and for root (whom the mode does not stop)
// also the immutable flag where the file system has one. Refuses() tells whether writing is
// really refused now, so that a test can tell a proof from a test that proves nothing.
class WriteProtect {
public:
    explicit WriteProtect(std::string path) : path_(std::move(path)) {
        ::chmod(path_.c_str(), 0444);
#ifdef __linux__
        if (::geteuid() == 0) immutable_ = SetImmutable(true);
#endif
    }
    ~WriteProtect() {
#ifdef __linux__
        if (immutable_) SetImmutable(false);
#endif
        ::chmod(path_.c_str(), 0644);
    }
    WriteProtect(const WriteProtect&) = delete;
    WriteProtect& operator=(const WriteProtect&) = delete;

    bool Refuses() const {
        const int descriptor = ::open(path_.c_str(), O_WRONLY | O_CLOEXEC);
        if (descriptor < 0) return true;
        ::close(descriptor);
        return false;
    }

private:
#ifdef __linux__
    bool SetImmutable(bool on) const {
        const int descriptor = ::open(path_.c_str(), O_RDONLY | O_CLOEXEC);
        if (descriptor < 0) return false;
        int flags = 0;
        bool done = ::ioctl(descriptor, FS_IOC_GETFLAGS, &flags) == 0;
        if (done) {
            flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
            done = ::ioctl(descriptor, FS_IOC_SETFLAGS, &flags) == 0;
        }
        ::close(descriptor);
        return done;
    }
    bool immutable_ = false;
#endif

    std::string path_;
};

}  // namespace brisalto::testing
