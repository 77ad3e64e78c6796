// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockBytes.h"

#include <span>

#include "TapeFile.h"

namespace brisalto {

std::vector<std::uint8_t> ReadBlockBytes(const TapeLocation& location, const CatalogueRow& row,
                                         bool keepFlag) {
    std::vector<std::uint8_t> body(row.Length);
    TapeFile file(location);
    file.Seek(row.Position);
    file.ReadExact(body);
    file.Close();
    if (keepFlag || body.empty()) return body;
    // Flag first, checksum last; a body of one byte is a flag with nothing after it.
    if (body.size() == 1) return {};
    return {body.begin() + 1, body.end() - 1};
}

}  // namespace brisalto
