#pragma once

#include <cstdint>
#include <optional>

#include "BlockChecksum.h"

namespace brisalto {

// A block body as TAP files store it (flag, data, checksum), wherever a tape format keeps it:
// its length N and the file position of its flag byte. Its first bytes are in the BlockBuffer.
struct BodyBlock {
    std::uint32_t length = 0;
    std::uint64_t position = 0;
    std::optional<BlockChecksum> checksum;  // of all N bytes; unset when N is 0
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
    // Walks over the next block; for Body, fills block and the buffer the walker was given.
    // Input/output failures travel out.
    virtual WalkStep Next(BodyBlock& block) = 0;
};

}  // namespace brisalto
