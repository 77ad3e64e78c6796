// SPDX-License-Identifier: GPL-3.0-or-later
#include "OpenTape.h"

namespace brisalto {

OpenedTape OpenTape(const TapeLocation& location) {
    OpenedTape tape;
    tape.location = location;
    ScanDetails details;
    std::uint64_t kept = 0;
    tape.result = ReadTapeBlocks(location, &details, [&](const TapeBlock& block) {
        tape.blocks.push_back(block);
        kept += block.part.size();
        if (kept > kMaxKeptParts) tape.blocks.back().part = {};
    });
    tape.tzx = details.tzxVersion;
    return tape;
}

}  // namespace brisalto
