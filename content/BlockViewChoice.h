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

// The header that describes data row index: the row right before it, when that is a header of
// one of the four kinds. A loader reads a header and then the block right after it, so a data
// block after another data block has no header of its own, whatever kind the catalogue carried
// over to its row. nullptr for a header row and for a data row with no header of its own.
const CatalogueRow* HeaderBefore(const CatalogueTable& catalogue, std::size_t index);

// Whether row index is a data block right after a header of the given kind (a data kind code,
// such as kProgramDataTipo): the block that header describes.
bool IsHeadedDataOf(const CatalogueTable& catalogue, std::size_t index, std::int32_t kind);

// Whether row index is a BASIC program: the data block right after its own Program header. The
// one rule of the Block View's BASIC tab, the row menu's listing items and the console's
// listings. (The main window's pane lists on selection by the row's kind code alone, as it
// always has: a headerless block after a program's data is listed there too.)
bool IsProgram(const CatalogueTable& catalogue, std::size_t index);

// Where a Bytes data row's data loads: its own header's address; unset for any other row.
std::optional<std::uint16_t> LoadAddress(const CatalogueTable& catalogue, std::size_t index);

// Where the last of size data bytes loading at load sits: held at 0xFFFF, past which only a tape
// made wrongly runs on. Unset for no data.
std::optional<std::uint16_t> LastLoadedAddress(std::uint16_t load, std::size_t size);

// The name byte of an array's data row index (0x81 for a(), 0xC1 for a$()): the high byte of its
// own header's first parameter. Unset for any other row.
std::optional<std::uint8_t> ArrayNameByte(const CatalogueTable& catalogue, std::size_t index);

// The views that apply to row index, in the order to show them: Hex always; Disassembly for
// every row with a body (a Bytes block at its address, any other from an address asked for);
// BASIC for a program's data; Variables when that data holds bytes after the program; Array for
// an array's data. Only a header's own data block is a program's or an array's.
std::vector<BlockViewKind> BlockViewsFor(const CatalogueTable& catalogue, std::size_t index);

}  // namespace brisalto
