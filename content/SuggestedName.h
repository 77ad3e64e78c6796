// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "TapeLocation.h"

namespace brisalto {

class CatalogueTable;

enum class SaveKind { Listing, Screen, Block };

// The file name the save dialog suggests for row index of table, a row of the tape at tape.
// The block's name is its header's file name: its own for a header row, that of the header row
// just before it for a data row; a block without one takes "<tape's name>-<row number>".
// Then: "<name>.bas.txt" for a listing, "<name>.png" for a screen, and for a block
// "<name>-header.bin" (a header), "<name>-<start address>.bin" (Bytes), "<name>.bin" (other
// data). Characters that a file name cannot hold on Windows become '_'. UTF-8, the header's
// name spelt as CodePageToUtf8 spells it.
// The tape's own name (an archive entry's, for a tape in an archive) with suffix (".tap",
// ".tzx") for its last extension: what Save Tape As offers.
std::string SuggestedTapeName(const TapeLocation& tape, const char* suffix);

std::string SuggestedName(const CatalogueTable& table, std::size_t index, const TapeLocation& tape,
                          SaveKind kind);

// The file name the save dialog suggests for the tape's sound: the tape's file name (an archive
// entry's for a tape in an archive) without folders and its last extension, then
// "-from-<row number>" when the sound starts at row fromIndex (from 0), then ".wav".
std::string SuggestedSoundName(const TapeLocation& tape, std::optional<std::size_t> fromIndex);

}  // namespace brisalto
