// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "CatalogueTable.h"
#include "ChecksumSummary.h"

namespace brisalto {
namespace {

enum class Sum { None, Right, Wrong };

struct SummaryCase {
    const char* what;
    std::vector<Sum> rows;
    const char* expected;
};

std::vector<Sum> Repeated(std::size_t count, Sum sum, std::vector<Sum> after = {}) {
    std::vector<Sum> rows(count, sum);
    rows.insert(rows.end(), after.begin(), after.end());
    return rows;
}

CatalogueTable Table(const std::vector<Sum>& sums) {
    CatalogueTable table;
    for (const Sum sum : sums) {
        CatalogueRow row;
        const auto computed = static_cast<std::uint8_t>(sum == Sum::Right ? 0x10 : 0x11);
        if (sum != Sum::None) row.Checksum = BlockChecksum{0x10, computed};
        table.AppendPosted(row);
    }
    return table;
}

TEST(ChecksumSummary, CountsTheChecksumsAndNamesTheWrongRows) {
    const SummaryCase cases[] = {
        {"no block with a checksum", {Sum::None}, "All 0 checksums are right"},
        {"one right", {Sum::None, Sum::Right}, "The checksum is right"},
        {"all right", {Sum::Right, Sum::None, Sum::Right}, "All 2 checksums are right"},
        {"thousands", Repeated(1234, Sum::Right), "All 1,234 checksums are right"},
        {"the only one wrong", {Sum::Wrong}, "1 of 1 checksum wrong, in row 1"},
        {"one wrong among others",
         {Sum::Right, Sum::None, Sum::Wrong},
         "1 of 2 checksums wrong, in row 3"},
        {"a row number in thousands", Repeated(1000, Sum::Right, {Sum::Wrong}),
         "1 of 1,001 checksums wrong, in row 1,001"},
        {"twenty wrong, all named", Repeated(20, Sum::Wrong),
         "20 of 20 checksums wrong, in rows 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, "
         "17, 18, 19, 20"},
        {"one past twenty", Repeated(21, Sum::Wrong),
         "21 of 21 checksums wrong, in rows 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, "
         "17, 18, 19, 20, \xE2\x80\xA6"},
    };
    for (const SummaryCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(ChecksumSummary(Table(c.rows)), c.expected);
    }
}

}  // namespace
}  // namespace brisalto
