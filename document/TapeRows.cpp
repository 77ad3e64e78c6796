// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeRows.h"

#include <exception>

#include "CatalogueSink.h"
#include "CatalogueTable.h"
#include "TapeDocument.h"

namespace brisalto {

ScanResult ListRows(const TapeDocument& document, bool showRaw, CatalogueSink& sink) {
    RowMaker rows(showRaw, sink);
    for (const TapeBlock& block : document.blocks) rows.Take(block);
    if (document.failure) std::rethrow_exception(document.failure);
    return document.result;
}

namespace {

class TableSink final : public CatalogueSink {
public:
    explicit TableSink(CatalogueTable& catalogue) : catalogue_(catalogue) {}
    void Add(const CatalogueRow& row) override { catalogue_.AppendPosted(row); }
    void AddUnfinished(const CatalogueRow& row) override { catalogue_.AppendOpen(row); }

private:
    CatalogueTable& catalogue_;
};

}  // namespace

ScanResult ListRows(const TapeDocument& document, bool showRaw, CatalogueTable& catalogue) {
    catalogue.Empty();
    TableSink sink(catalogue);
    return ListRows(document, showRaw, sink);
}

}  // namespace brisalto
