// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>

#include "BlockBuffer.h"
#include "BlockChecksum.h"

namespace brisalto {

class TapeFile;

// A header body's size: flag, type, ten name bytes, three words, checksum.
inline constexpr std::size_t kHeaderBodySize = 19;

// Reads a block body of length bytes at the file's position, keeping what fits in the buffer
// and passing over the rest, and works out its checksum from every byte on the way (unset for a
// body of no bytes). A body shorter than a header leaves the header bytes it lacks at
// zero, never holding an earlier block's bytes. Returns false when the file ends first.
bool ReadBlockBody(TapeFile& file, BlockBuffer& buffer, std::size_t length,
                   std::optional<BlockChecksum>& checksum);

}  // namespace brisalto
