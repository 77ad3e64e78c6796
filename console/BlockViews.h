// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "CatalogueTable.h"
#include "ConsoleArguments.h"
#include "TapeDocument.h"

namespace brisalto {

// What a block view gives: its text, or why the row has no such view.
struct BlockViewText {
    std::string text;     // UTF-8 lines, or JSON
    std::string problem;  // for the user, after "row N "; empty when text is the view
};

// The hex, disasm, variables or array view of row index (from 0) of the catalogue, as the
// request asks (--from, --json). The block's bytes come from the tape document;
// a read's failure travels out as InOutError.
BlockViewText ViewBlock(const ConsoleRequest& request, const CatalogueTable& catalogue,
                        std::size_t index, const TapeDocument& document);

}  // namespace brisalto
