// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockTip.h"

#include <cstdio>

#include "HeaderWording.h"
#include "TapeBlock.h"

namespace brisalto {

std::string ChecksumWording(const BlockChecksum& checksum) {
    if (checksum.Good()) return "Checksum OK";
    char text[48];
    std::snprintf(text, sizeof text, "Checksum wrong (stored 0x%02X, computed 0x%02X)",
                  unsigned(checksum.stored), unsigned(checksum.computed));
    return text;
}

BlockTip DescribeBlock(const CatalogueRow& row) {
    BlockTip tip;
    if (row.Flag == kHeaderFlag) {
        const HeaderFacts header{
            .type = static_cast<std::uint8_t>(row.Tipo.value_or(0)),
            .name = row.Name.View(),
            .dataLength = row.Size.value_or(0),
            .param1 = row.Start.value_or(0),
            .param2 = row.Par1.value_or(0),
        };
        tip.lines = HeaderWording(header);
    }
    if (row.Checksum) tip.lines.push_back(ChecksumWording(*row.Checksum));
    return tip;
}

}  // namespace brisalto
