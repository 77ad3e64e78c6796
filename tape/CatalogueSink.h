// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CatalogueRow.h"

namespace brisalto {

// Where a scan's rows go, one at a time in file order: the catalogue table, or a front end
// that uses each row as it comes and keeps none.
class CatalogueSink {
public:
    virtual ~CatalogueSink() = default;
    // A listed block's row, whole.
    virtual void Add(const CatalogueRow& row) = 0;
    // The row of a block whose next field value the catalogue refuses, as far as it was filled;
    // the scan then fails with FieldRangeError.
    virtual void AddUnfinished(const CatalogueRow& row) = 0;
    // A data block left out because raw blocks are not shown: it has a row number all the same.
    virtual void AddUnlisted() {}
};

}  // namespace brisalto
