// SPDX-License-Identifier: GPL-3.0-or-later
#include "ChecksumSummary.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "CatalogueTable.h"

namespace brisalto {

namespace {

// The wrong rows named; the rest stand as one "…".
constexpr std::size_t kWrongRowsNamed = 20;

// "12,345", whatever the user's locale: the other texts are English too.
std::string Count(std::uint64_t count) {
    std::string digits = std::to_string(count);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

// "1 checksum", "3 checksums".
std::string Counted(std::uint64_t count, const char* one, const char* many) {
    return Count(count) + ' ' + (count == 1 ? one : many);
}

}  // namespace

std::string ChecksumSummary(const CatalogueTable& rows) {
    std::uint64_t checked = 0;
    std::vector<std::size_t> wrong;
    for (std::size_t row = 0; row < rows.RowCount(); ++row) {
        const std::optional<BlockChecksum>& checksum = rows.Row(row).Checksum;
        if (!checksum) continue;
        ++checked;
        if (!checksum->Good()) wrong.push_back(row + 1);
    }
    if (wrong.empty())
        return checked == 1 ? "The checksum is right"
                            : "All " + Count(checked) + " checksums are right";
    std::string numbers;
    for (std::size_t i = 0; i < std::min(wrong.size(), kWrongRowsNamed); ++i)
        numbers += (i == 0 ? "" : ", ") + Count(wrong[i]);
    if (wrong.size() > kWrongRowsNamed) numbers += ", \xE2\x80\xA6";  // U+2026, in UTF-8
    return Count(wrong.size()) + " of " + Counted(checked, "checksum", "checksums") +
           " wrong, in " + (wrong.size() == 1 ? "row " : "rows ") + numbers;
}

}  // namespace brisalto
