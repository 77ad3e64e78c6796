// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <algorithm>
#include <cstring>
#include <span>

#include "ByteSource.h"

namespace brisalto {

// Bytes in memory that someone else owns, read and seeked like a file. A position past the end
// reads nothing; a closed source reads nothing more.
class SpanSource : public ByteSource {
public:
    explicit SpanSource(std::span<const std::uint8_t> bytes) : bytes_(bytes) {}

    std::size_t Read(std::uint8_t* destination, std::size_t count) override {
        const std::size_t left = position_ < bytes_.size() ? bytes_.size() - position_ : 0;
        const std::size_t take = std::min(count, left);
        if (take > 0) std::memcpy(destination, bytes_.data() + position_, take);
        position_ += take;
        return take;
    }
    void SeekTo(std::uint64_t position) override {
        position_ = static_cast<std::size_t>(std::min<std::uint64_t>(position, bytes_.size()));
    }
    std::uint64_t Size() override { return bytes_.size(); }
    void Close() override { position_ = bytes_.size(); }

private:
    std::span<const std::uint8_t> bytes_;
    std::size_t position_ = 0;
};

}  // namespace brisalto
