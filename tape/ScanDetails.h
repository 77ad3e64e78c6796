// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "TapeBlockReader.h"

namespace brisalto {

// A TZX block that carries text for people rather than signal, kept as stored:
// 0x30 text description, 0x31 message, 0x32 archive information, 0x33 hardware type.
struct TzxTextBlock {
    std::uint8_t id = 0;
    std::uint64_t position = 0;       // file position of the block's ID byte
    std::vector<std::uint8_t> bytes;  // the block after its ID, as long as its length says
};

// What a scan saw besides the rows, for a summary of the whole tape.
struct ScanDetails {
    using Version = TzxVersion;
    std::optional<Version> tzxVersion;  // set for a TZX tape
    std::uint64_t headers = 0;          // bodies with the header flag (0x00)
    std::uint64_t data = 0;             // bodies with the data flag (0xFF), listed or not
    std::uint64_t neverListed = 0;      // bodies with any other flag
    std::uint64_t tzxPassedOver = 0;    // TZX blocks without a body (tones, pauses, texts...)
    std::vector<TzxTextBlock> texts;    // in tape order
};

}  // namespace brisalto
