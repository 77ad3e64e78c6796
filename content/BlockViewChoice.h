// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "CatalogueTable.h"

namespace brisalto {

// The views of a block that a front end offers.
enum class BlockViewKind { Hex, Disassembly, Basic, Variables, Array };

// The header a data row's kind came from: the last header row before row index, as the scanner
// took it; nullptr when there is none.
const CatalogueRow* HeaderBefore(const CatalogueTable& catalogue, std::size_t index);

// Whether row is a data block (flag 0xFF) of the given kind code.
bool IsDataOf(const CatalogueRow& row, std::int32_t kind);

// Where a Bytes data row's data loads: its header's address; unset for any other row.
std::optional<std::uint16_t> LoadAddress(const CatalogueTable& catalogue, std::size_t index);

// The views that apply to row index, in the order to show them: Hex always; Disassembly for
// every row with a body (a Bytes block at its address, any other from an address asked for);
// BASIC for a program's data; Variables when that data holds bytes after the program; Array for
// an array's data.
std::vector<BlockViewKind> BlockViewsFor(const CatalogueTable& catalogue, std::size_t index);

}  // namespace brisalto
