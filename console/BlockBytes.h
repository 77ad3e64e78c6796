// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "CatalogueRow.h"
#include "TapeLocation.h"

namespace brisalto {

// The body of the block behind row (flag, data, checksum) read again from the tape at location;
// with keepFlag false its data alone. InOutError when the file can no longer be read there
// ("Read beyond end of file" for a tape cut shorter since the scan).
std::vector<std::uint8_t> ReadBlockBytes(const TapeLocation& location, const CatalogueRow& row,
                                         bool keepFlag);

}  // namespace brisalto
