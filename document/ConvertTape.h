// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "TapeDocument.h"

namespace brisalto {

enum class TapeFormat { Tap, Tzx };

// Blocks of one kind that a TAP file cannot hold and a conversion left out: every block without
// a body, and (tooLong) a body longer than a TAP's 16-bit length.
struct LeftOutBlocks {
    std::uint8_t id = 0;
    bool tooLong = false;
    std::uint64_t count = 0;
    bool operator==(const LeftOutBlocks&) const = default;
};

struct ConvertedTape {
    std::vector<std::uint8_t> bytes;
    std::vector<LeftOutBlocks> leftOut;  // by ID, a kind's too-long bodies after its others
    bool damaged = false;                // only the whole blocks before the damage are in bytes
};

// The document's tape as a file of format: its own bytes when it already is one; a TAP as a TZX
// 1.20 of one standard speed data block per TAP block (pause 1000 ms), which converts back to
// the same TAP; a TZX as a TAP of its data blocks' bodies in order, the rest left out and
// counted. A damaged tape gives its whole blocks before the damage.
ConvertedTape ConvertTape(const TapeDocument& document, TapeFormat format);

}  // namespace brisalto
