// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "CatalogueText.h"

namespace brisalto {
namespace {

CatalogueRow DataRow(std::int32_t tipo, std::uint16_t size) {
    CatalogueRow row;
    row.Tipo = tipo;
    row.TipoStr.Assign("Raw Data");
    row.Size = size;
    return row;
}

// A Program header whose name holds a control character, a code page letter and DEL.
CatalogueRow StrangeNameRow() {
    CatalogueRow row;
    row.Tipo = 0;
    row.TipoStr.Assign("Program");
    row.Name.Assign(
        "AB\x01"
        "CDEF\xA9\x7F");
    row.Start = 10;
    row.Size = 5;
    return row;
}

// A Bytes header with only its name after the kind: the name is the line's last cell.
CatalogueRow NameLastRow(const char* name) {
    CatalogueRow row;
    row.Tipo = 3;
    row.TipoStr.Assign("Bytes");
    row.Name.Assign(name);
    return row;
}

struct LinesCase {
    const char* name;
    std::size_t rows;  // of DataRow(255, 7), then last
    CatalogueRow last;
    std::vector<std::string> expected;  // the title line, the first row's and the last row's
};

const LinesCase kCases[] = {
    // Held until the end: every column as wide as its title and cells.
    {"ShortTapeExactWidths",
     1,
     DataRow(256, 12345),
     {"Row  Offset  Type  Block Type Description  File Name  Start  Basic Length   Size",
      "  1           255  Raw Data                                                    7",
      "  2           256  Raw Data                                                12345"}},
    // Characters that would move a terminal's cursor show as symbols, each in one column.
    {"ControlCharactersShowAsSymbols",
     1,
     StrangeNameRow(),
     {"Row  Offset  Type  Block Type Description  File Name  Start  Basic Length  Size",
      "  1           255  Raw Data                                                   7",
      "  2             0  Program                 AB\u2401CDEF\u00A9\u2421     10                  "
      " 5"}},
    // A line ends at its last character that is not a blank: a name's own trailing blanks go,
    // and a name of blanks alone ends the line after the cell before it.
    {"TrailingBlanksOfTheLastCellCut",
     1,
     NameLastRow("AB   "),
     {"Row  Offset  Type  Block Type Description  File Name  Start  Basic Length  Size",
      "  1           255  Raw Data                                                   7",
      "  2             3  Bytes                   AB"}},
    {"LastCellOfBlanksOnly",
     1,
     NameLastRow("    "),
     {"Row  Offset  Type  Block Type Description  File Name  Start  Basic Length  Size",
      "  1           255  Raw Data                                                   7",
      "  2             3  Bytes"}},
    // Past the rows held: as wide as any row of the scanner can need.
    {"LongTapeWidestColumns",
     CatalogueLines::kHeldRows,
     DataRow(255, 7),
     {"    Row  Offset  Type  Block Type Description  File Name   Start  Basic Length   Size",
      "      1           255  Raw Data                                                     7",
      "   4097           255  Raw Data                                                     7"}},
    // A cell wider than that widens its column from its line on; nothing is cut.
    {"WiderCellWidensItsColumn",
     CatalogueLines::kHeldRows,
     DataRow(-1234567, 7),
     {"    Row  Offset  Type  Block Type Description  File Name   Start  Basic Length   Size",
      "      1           255  Raw Data                                                     7",
      "   4097          -1234567  Raw Data                                                     7"}},
};

class CatalogueLinesTable : public ::testing::TestWithParam<LinesCase> {};

TEST_P(CatalogueLinesTable, LaysOutTitleAndRows) {
    const LinesCase& c = GetParam();
    std::string text;
    CatalogueLines lines([&text](std::string_view piece) { text += piece; });
    for (std::size_t row = 0; row < c.rows; ++row) lines.Add(DataRow(255, 7));
    lines.Add(c.last);
    lines.Finish(true);

    std::vector<std::string> got;
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t end = text.find('\n', at);
        got.push_back(text.substr(at, end - at));
        at = end + 1;
    }
    ASSERT_EQ(got.size(), c.rows + 2);
    EXPECT_EQ(got[0], c.expected[0]);
    EXPECT_EQ(got[1], c.expected[1]);
    EXPECT_EQ(got.back(), c.expected[2]);
}

INSTANTIATE_TEST_SUITE_P(CatalogueText, CatalogueLinesTable, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

TEST(CatalogueText, NoRowsGiveTheTitleLineOnlyWhenAsked) {
    for (const bool title : {true, false}) {
        std::string text;
        CatalogueLines lines([&text](std::string_view piece) { text += piece; });
        lines.Finish(title);
        EXPECT_EQ(text, title ? "Row  Offset  Type  Block Type Description  File Name  Start  "
                                "Basic Length  Size\n"
                              : "");
    }
}

}  // namespace
}  // namespace brisalto
