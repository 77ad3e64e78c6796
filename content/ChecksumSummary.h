// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace brisalto {

class CatalogueTable;

// The checksums of rows (the rows of a scan with raw blocks shown) in one line, UTF-8: "All 42
// checksums are right" ("The checksum is right" for a tape of one), or "2 of 42 checksums wrong,
// in rows 3, 7": the wrong rows' numbers, counted from 1, the first 20 of them and then "…".
// Numbers over 999 are grouped with commas ("1,024").
std::string ChecksumSummary(const CatalogueTable& rows);

}  // namespace brisalto
