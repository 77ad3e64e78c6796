// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "CatalogueRow.h"

namespace brisalto {

// What a catalogue row's tooltip says: text lines, and whether its block is a screen to show.
struct BlockTip {
    std::vector<std::string> lines;
    bool screen = false;
};

// "Checksum OK", or "Checksum wrong (stored 0x3A, computed 0x5C)".
std::string ChecksumWording(const BlockChecksum& checksum);

// Whether the row's block is a screen: a data block whose body holds exactly a screen's bytes,
// whatever its header said.
bool HoldsScreen(const CatalogueRow& row) noexcept;

// A header row: its wording and its checksum. A data row: its checksum, and a screen when its
// body holds exactly a screen's bytes, whatever its header said. The caller leaves out rows
// that are not complete (an open row, the blank row).
BlockTip DescribeBlock(const CatalogueRow& row);

}  // namespace brisalto
