// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BlockTip.h"
#include "CatalogueSink.h"
#include "HeaderWording.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto {
namespace {

struct WordingCase {
    HeaderFacts header;
    std::vector<std::string> lines;
};

TEST(HeaderWording, SaysWhatTheLoadStatementWouldSay) {
    const std::vector<WordingCase> cases = {
        {{0, "hello     ", 120, 10, 80},
         {"Program: \"hello     \" LINE 10", "Program length 80, variables length 40"}},
        {{0, "run", 5, 32767, 5},
         {"Program: \"run\" LINE 32767", "Program length 5, variables length 0"}},
        {{0, "noauto", 100, 32768, 80},
         {"Program: \"noauto\"", "Program length 80, variables length 20"}},
        {{0, "odd", 10, 65535, 20},
         {"Program: \"odd\"", "Program length 20, more than the 10 bytes of data"}},
        {{1, "nums", 50, 0x8100, 0}, {"Numeric Array: \"nums\" DATA a()"}},
        {{1, "zed", 50, 0x9A00, 0}, {"Numeric Array: \"zed\" DATA z()"}},
        {{1, "bad", 50, 0x8000, 0}, {"Numeric Array: \"bad\" DATA ?()"}},
        {{2, "chars", 20, 0xC200, 0}, {"Character Array: \"chars\" DATA b$()"}},
        {{3, "code", 1024, 32768, 32768}, {"Bytes: \"code\" CODE 32768,1024"}},
        {{3, "scr", 6912, 16384, 0}, {"Bytes: \"scr\" SCREEN$"}},
        {{3, "notscr", 6912, 16000, 0}, {"Bytes: \"notscr\" CODE 16000,6912"}},
        {{3, "short", 6911, 16384, 0}, {"Bytes: \"short\" CODE 16384,6911"}},
        {{7, "odd", 1, 2, 3}, {"Header type 7: \"odd\""}},
        {{0, "", 0, 0, 0}, {"Program: \"\" LINE 0", "Program length 0, variables length 0"}},
    };
    for (const WordingCase& c : cases) {
        EXPECT_EQ(HeaderWording(c.header), c.lines) << c.lines.front();
    }
}

// The grid's row and the tooltip word each header kind alike, in the grid's words.
TEST(HeaderKind, GridAndTooltipWordKindsAlike) {
    struct Rows final : CatalogueSink {
        std::vector<CatalogueRow> rows;
        void Add(const CatalogueRow& row) override { rows.push_back(row); }
        void AddUnfinished(const CatalogueRow& row) override { rows.push_back(row); }
    };
    const struct {
        std::uint8_t type;
        std::uint16_t param1;
        std::string row;
        std::string tip;
    } cases[] = {
        {0, 10, "Program", "Program: \"kind      \" LINE 10"},
        {1, 0x8100, "Numeric Array A()", "Numeric Array: \"kind      \" DATA a()"},
        {2, 0xC200, "Character Array B$()", "Character Array: \"kind      \" DATA b$()"},
        {3, 32768, "Bytes", "Bytes: \"kind      \" CODE 32768,5"},
    };
    testing::TapeBuilder builder;
    for (const auto& c : cases) builder.Header(c.type, "kind", 5, c.param1, 5);
    const testing::TempTape tape(builder.Get());
    Rows sink;
    ScanRows(tape.Path(), false, sink);
    ASSERT_EQ(sink.rows.size(), std::size(cases));
    for (std::size_t i = 0; i < sink.rows.size(); ++i) {
        EXPECT_EQ(sink.rows[i].TipoStr.View(), cases[i].row);
        EXPECT_EQ(DescribeBlock(sink.rows[i]).lines.front(), cases[i].tip);
    }
}

TEST(ChecksumWording, GoodOrStoredAndComputedInHex) {
    EXPECT_EQ(ChecksumWording({0x3A, 0x3A}), "Checksum OK");
    EXPECT_EQ(ChecksumWording({0x3A, 0x5C}), "Checksum wrong (stored 0x3A, computed 0x5C)");
    EXPECT_EQ(ChecksumWording({0x00, 0x0F}), "Checksum wrong (stored 0x00, computed 0x0F)");
}

// Which rows show a screen is FindScreen's rule (its own tests), not the tooltip's.
TEST(DescribeBlock, HeaderWordsDataChecksum) {
    CatalogueRow header;
    header.Tipo = 3;
    header.Name.Assign("scr       ");
    header.Start = 16384;
    header.Size = 6912;
    header.Flag = 0x00;
    header.Checksum = BlockChecksum{0x10, 0x10};
    const BlockTip headerTip = DescribeBlock(header);
    EXPECT_EQ(headerTip.lines,
              (std::vector<std::string>{"Bytes: \"scr       \" SCREEN$", "Checksum OK"}));

    for (const int size : {6911, 6912, 6913}) {
        CatalogueRow data;
        data.Tipo = 258;
        data.Size = static_cast<std::uint16_t>(size);
        data.Flag = 0xFF;
        data.Checksum = BlockChecksum{0x01, 0x02};
        const BlockTip dataTip = DescribeBlock(data);
        EXPECT_EQ(dataTip.lines,
                  std::vector<std::string>{"Checksum wrong (stored 0x01, computed 0x02)"});
    }
}

}  // namespace
}  // namespace brisalto
