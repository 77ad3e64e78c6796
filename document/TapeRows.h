// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ScanTape.h"

namespace brisalto {

class CatalogueSink;
class CatalogueTable;
struct TapeDocument;

// The catalogue's rows of a document, as ScanRows gives them from its file, handed to sink; the
// document's result (Damaged: the rows up to the damage). Refused field values
// (FieldRangeError) travel out after the unfinished row, and the document's failure after the
// rows before it.
ScanResult ListRows(const TapeDocument& document, bool showRaw, CatalogueSink& sink);
// The same into the catalogue table, emptied first.
ScanResult ListRows(const TapeDocument& document, bool showRaw, CatalogueTable& catalogue);

}  // namespace brisalto
