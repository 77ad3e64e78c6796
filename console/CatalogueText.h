#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "CatalogueTable.h"
#include "TzxTexts.h"

namespace brisalto {

// Where text goes, a piece at a time.
using TextWriter = std::function<void(std::string_view)>;

// The rows as the window's grid shows them, in its columns under its titles, each row after
// its number (counted from 1), aligned in columns of characters; empty cells stay blank.
// Ends each line with '\n'. Handed to
// write in pieces, so that a tape of 200,000 rows is never all in memory as text.
void WriteCatalogueText(const CatalogueTable& catalogue, const TextWriter& write);

// A TZX tape's archive information and descriptions, one "Label: text" line each, further
// lines of a text indented below it; nothing when there are none.
std::string TzxTextsText(const TzxTexts& texts);

}  // namespace brisalto
