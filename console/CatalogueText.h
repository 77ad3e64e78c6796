#pragma once

#include <string>

#include "CatalogueTable.h"
#include "TzxTexts.h"

namespace brisalto {

// The rows as the window's grid shows them, in its columns under its titles, each row after
// its number (counted from 1 among all rows), aligned in columns of characters; empty cells
// stay blank. Without showRaw, data rows are left out. Ends each line with '\n'.
std::string CatalogueText(const CatalogueTable& catalogue, bool showRaw);

// A TZX tape's archive information and descriptions, one "Label: text" line each, further
// lines of a text indented below it; nothing when there are none.
std::string TzxTextsText(const TzxTexts& texts);

}  // namespace brisalto
