// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

namespace brisalto {

// Where a block read from sound broke: the byte it was reading and the time in the recording.
struct BlockBreak {
    std::uint32_t byte = 0;
    double seconds = 0;
};

// One TZX block recovered from a recording, as it comes: a data block read (0x10 at the ROM's
// timings, 0x11 at others) or sound kept as it was measured (0x13 pulses, 0x20 a pause, 0x30 a
// note on damage). tzx is the whole block, its ID first.
struct RecoveredBlock {
    std::vector<std::uint8_t> tzx;
    double seconds = 0;              // where it starts in the recording
    bool data = false;               // a data block (0x10 or 0x11)
    std::uint32_t dataLength = 0;    // its bytes (flag, data, checksum) for a data block
    bool checksumGood = false;       // a data block's bytes XOR to zero
    std::optional<BlockBreak> broke; // a data block that broke before its end
};

}  // namespace brisalto
