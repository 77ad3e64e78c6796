// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CatalogueRow.h"

namespace brisalto {

// What a catalogue row's tooltip says, in text lines. Whether its block shows a screen is
// FindScreen's to say.
struct BlockTip {
    std::vector<std::string> lines;
};

// "Checksum OK", or "Checksum wrong (stored 0x3A, computed 0x5C)".
std::string ChecksumWording(const BlockChecksum& checksum);

// A header row: its wording and its checksum. A data row: its checksum. The caller leaves out
// rows that are not complete (an open row, the blank row).
BlockTip DescribeBlock(const CatalogueRow& row);

}  // namespace brisalto
