// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <vector>

#include "ByteSource.h"
#include "OsFile.h"
#include "TapeLocation.h"

namespace brisalto {

using SharedBytes = std::shared_ptr<const std::vector<std::uint8_t>>;

// The tape read last (a bare file's bytes, or an archive entry unpacked), kept with its file's
// stamp at that read: finding out what a file holds and then reading the tape in it open the
// file once, not twice. A bare file's bytes are taken by the read that follows the look, once:
// a stamp can stay the same across a quick rewrite of a file of the same size, so kept bytes of
// a bare file are never a reason not to read it again later.
class KeptTape {
public:
    SharedBytes Find(const TapeLocation& location, const FileStamp& stamp) {
        const std::lock_guard lock(mutex_);
        if (location_ == location && stamp_ == stamp) return bytes_;
        return nullptr;
    }
    // The kept bytes of location if its stamp is stamp, let go of here.
    SharedBytes Take(const TapeLocation& location, const FileStamp& stamp) {
        const std::lock_guard lock(mutex_);
        if (!bytes_ || location_ != location || stamp_ != stamp) return nullptr;
        location_ = {};
        return std::move(bytes_);
    }
    void Keep(const TapeLocation& location, const FileStamp& stamp, SharedBytes bytes) {
        const std::lock_guard lock(mutex_);
        location_ = location;
        stamp_ = stamp;
        bytes_ = std::move(bytes);
        recording_.reset();
    }
    // A sound recording is never read whole: the look keeps its open file instead, for the
    // decoding that follows to take, once.
    void KeepRecording(const TapeLocation& location, const FileStamp& stamp,
                       std::unique_ptr<ByteSource> recording) {
        const std::lock_guard lock(mutex_);
        location_ = location;
        stamp_ = stamp;
        bytes_.reset();
        recording_ = std::move(recording);
    }
    // Whether the open recording of location, its stamp stamp, is kept.
    bool HoldsRecording(const TapeLocation& location, const FileStamp& stamp) {
        const std::lock_guard lock(mutex_);
        return recording_ && location_ == location && stamp_ == stamp;
    }
    // The kept open recording of location if its stamp is stamp, let go of here.
    std::unique_ptr<ByteSource> TakeRecording(const TapeLocation& location,
                                              const FileStamp& stamp) {
        const std::lock_guard lock(mutex_);
        if (!recording_ || location_ != location || stamp_ != stamp) return nullptr;
        location_ = {};
        return std::move(recording_);
    }

private:
    std::mutex mutex_;
    TapeLocation location_;
    FileStamp stamp_;
    SharedBytes bytes_;
    std::unique_ptr<ByteSource> recording_;
};

// The one copy the process keeps.
KeptTape& Kept();

}  // namespace brisalto
