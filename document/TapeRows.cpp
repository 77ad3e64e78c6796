// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeRows.h"

#include <exception>

#include "CatalogueTable.h"
#include "CatalogueTableSink.h"
#include "TapeDocument.h"

namespace brisalto {

ScanResult ListRows(const TapeDocument& document, bool showRaw, CatalogueSink& sink) {
    RowMaker rows(showRaw, sink);
    for (const TapeBlock& block : document.blocks) rows.Take(block);
    if (document.failure) std::rethrow_exception(document.failure);
    return document.result;
}

ScanResult ListRows(const TapeDocument& document, bool showRaw, CatalogueTable& catalogue) {
    catalogue.Empty();
    CatalogueTableSink sink(catalogue);
    return ListRows(document, showRaw, sink);
}

}  // namespace brisalto
