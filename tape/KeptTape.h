// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "OsFile.h"
#include "TapeLocation.h"

namespace brisalto {

using SharedBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// The tape read last (a bare file's bytes, or an archive entry unpacked), kept with its file's
// stamp at that read: finding out what a file holds and then reading the tape in it open the
// file once, not twice.
class KeptTape {
public:
    SharedBytes Find(const TapeLocation& location, const FileStamp& stamp) {
        const std::lock_guard lock(mutex_);
        if (location_ == location && stamp_ == stamp) return bytes_;
        return nullptr;
    }
    void Keep(const TapeLocation& location, const FileStamp& stamp, SharedBytes bytes) {
        const std::lock_guard lock(mutex_);
        location_ = location;
        stamp_ = stamp;
        bytes_ = std::move(bytes);
    }

private:
    std::mutex mutex_;
    TapeLocation location_;
    FileStamp stamp_;
    SharedBytes bytes_;
};

// The one copy the process keeps.
KeptTape& Kept();

}  // namespace brisalto
