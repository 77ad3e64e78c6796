// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogueSink.h"
#include "CatalogueTable.h"

namespace brisalto {

// The catalogue table as a scan's destination: whole rows posted, an unfinished one left open.
class CatalogueTableSink final : public CatalogueSink {
public:
    explicit CatalogueTableSink(CatalogueTable& catalogue) : catalogue_(catalogue) {}
    void Add(const CatalogueRow& row) override { catalogue_.AppendPosted(row); }
    void AddUnfinished(const CatalogueRow& row) override { catalogue_.AppendOpen(row); }

private:
    CatalogueTable& catalogue_;
};

}  // namespace brisalto
