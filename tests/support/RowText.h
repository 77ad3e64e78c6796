// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "CatalogueRow.h"
#include "CatalogueTable.h"

namespace brisalto::testing {

// A catalogue row as a test expects it: an unset member means the field must be null.
struct ExpectedRow {
    std::optional<std::int64_t> Tipo{};
    std::optional<std::string> TipoStr{};
    std::optional<std::string> Name{};
    std::optional<std::uint16_t> Offset{};
    std::optional<std::uint16_t> Start{};
    std::optional<std::uint16_t> Size{};
    std::optional<std::uint16_t> Par1{};
    std::uint64_t Position = 0;
};

// One line per row, the fields in the grid's order, then the row's full position:
// "Offset|Tipo|TipoStr|Name|Start|Par1|Size @Position". A null field is empty (an empty text is
// null in the catalogue too) and a byte outside printable ASCII reads \xNN, so that a failing
// comparison shows which field of which row differs.
std::string RowText(const ExpectedRow& row);
std::string RowText(const CatalogueRow& row);
std::vector<std::string> RowTexts(const std::vector<ExpectedRow>& rows);
std::vector<std::string> RowTexts(const CatalogueTable& table);

}  // namespace brisalto::testing
