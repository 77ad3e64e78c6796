// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>

namespace brisalto {

// What a view of the catalogue needs to hear. Calls arrive on the thread that changes the table.
// Every callback is pure: a view that missed any of them would show rows that are not there.
class CatalogueObserver {
public:
    virtual ~CatalogueObserver() = default;
    // Every row was removed.
    virtual void TableReset() = 0;
    // A new, open row stands at index row (always the last one).
    virtual void RowAppended(std::size_t row) = 0;
    // The row was posted: its values or its open state changed.
    virtual void RowChanged(std::size_t row) = 0;
    // The open row at index row was discarded.
    virtual void RowRemoved(std::size_t row) = 0;
    // The current row changed; nothing when the table is empty.
    virtual void CurrentRowMoved(std::optional<std::size_t> row) = 0;
};

}  // namespace brisalto
