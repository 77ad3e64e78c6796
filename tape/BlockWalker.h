// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "BlockBuffer.h"
#include "BlockChecksum.h"

namespace brisalto {

// A block body as TAP files store it (flag, data, checksum), wherever a tape format keeps it:
// its length N, the file position of its flag byte and its first bytes as kept.
struct BodyBlock {
    std::uint32_t length = 0;
    std::uint64_t position = 0;
    std::optional<BlockChecksum> checksum;  // of all N bytes; unset when N is 0
    // The walker's copy of the first min(N, 65,501) bytes, and at least a header's worth (the
    // bytes a short body lacks read as zeros); valid until the walker's next step.
    const BlockBuffer* bytes = nullptr;
    std::uint8_t Flag() const noexcept { return (*bytes)[0]; }
};

enum class WalkStep {
    End,      // the file ended between two blocks
    Body,     // a block with a body was read
    Skipped,  // a block without one was walked over
    Damaged,  // the file ended inside a block
};

// One tape format's walk over its blocks, one block per call. The scanner turns each body into
// a row the same way whatever format it came from.
class BlockWalker {
public:
    virtual ~BlockWalker() = default;
    // Walks over the next block; for Body, fills block. Input/output failures travel out.
    virtual WalkStep Next(BodyBlock& block) = 0;
    // Whether the tape has no byte left to walk.
    virtual bool AtEnd() = 0;
};

}  // namespace brisalto
