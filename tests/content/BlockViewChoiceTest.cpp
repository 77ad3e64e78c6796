// SPDX-License-Identifier: GPL-3.0-or-later
// A header describes the data block right after it and no other, as a loader reads the tape: the
// views of a row and its load address follow that rule, whatever kind the catalogue carries over.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "BlockViewChoice.h"
#include "ScanTape.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace brisalto::testing {
namespace {

using enum BlockViewKind;
using Views = std::vector<BlockViewKind>;

// A header row's views, and a data row's with no header of its own.
const Views kPlain = {Hex, Disassembly};

struct RowWanted {
    Views views;
    std::optional<std::uint16_t> loadAddress;
};

struct HeaderRuleCase {
    const char* what;
    Bytes tape;
    const char* fileName;
    std::vector<RowWanted> rows;
};

Bytes HeaderBody(std::uint8_t type, std::uint16_t length, std::uint16_t param1,
                 std::uint16_t param2 = 0) {
    const Bytes tap = TapeBuilder().Header(type, "x", length, param1, param2).Get();
    return Bytes(tap.begin() + 2, tap.end());
}

Bytes DataBody(const Bytes& data) {
    const Bytes tap = TapeBuilder().Data(data).Get();
    return Bytes(tap.begin() + 2, tap.end());
}

TEST(BlockViewChoice, OnlyTheBlockRightAfterAHeaderTakesItsMeaning) {
    // 10 REM, then two bytes of variables after the five of the program.
    const Bytes program = {0x00, 0x0A, 0x01, 0x00, 0x0D, 0x61, 0x80};
    const Bytes code = {0x3E, 0x05, 0xC9};
    const Bytes numbers = {0x01, 0x01, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00};
    const HeaderRuleCase cases[] = {
        {"a screen and code saved without headers after a program",
         TapeBuilder()
             .ProgramHeader("loader", 7, 10, 5)
             .Data(program)
             .Data(Bytes(6912, 0x55))
             .Data(code)
             .Get(),
         "tape.tap",
         {{kPlain, {}}, {{Hex, Disassembly, Basic, Variables}, {}}, {kPlain, {}}, {kPlain, {}}}},
        {"turbo blocks after a Bytes header, a text between the header and its block",
         TzxBuilder()
             .Body(HeaderBody(3, 3, 0x830B))
             .Other(0x30)
             .Body(DataBody(code), 0x11)
             .Body(DataBody(Bytes(57409, 0)), 0x11)
             .Body(DataBody(code), 0x11)
             .Get(),
         "tape.tzx",
         {{kPlain, {}}, {kPlain, 0x830B}, {kPlain, {}}, {kPlain, {}}}},
        {"an array header followed by two data blocks",
         TapeBuilder().Header(1, "nums", 8, 0x8100).Data(numbers).Data(numbers).Get(),
         "tape.tap",
         {{kPlain, {}}, {{Hex, Disassembly, Array}, {}}, {kPlain, {}}}},
        {"a program header followed by two data blocks",
         TapeBuilder().ProgramHeader("p", 7, 10, 5).Data(program).Data(program).Get(),
         "tape.tap",
         {{kPlain, {}}, {{Hex, Disassembly, Basic, Variables}, {}}, {kPlain, {}}}},
        {"a data block first",
         TapeBuilder().Data(code).Header(3, "c", 3, 32768).Get(),
         "tape.tap",
         {{kPlain, {}}, {kPlain, {}}}},
    };
    for (const HeaderRuleCase& c : cases) {
        SCOPED_TRACE(c.what);
        const TempTape tape(c.tape, c.fileName);
        CatalogueTable catalogue;
        ASSERT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
        ASSERT_EQ(catalogue.RowCount(), c.rows.size());
        for (std::size_t index = 0; index < c.rows.size(); ++index) {
            SCOPED_TRACE("row " + std::to_string(index + 1));
            EXPECT_EQ(BlockViewsFor(catalogue, index), c.rows[index].views);
            EXPECT_EQ(LoadAddress(catalogue, index), c.rows[index].loadAddress);
            // The console lists as programs the rows the window gives a BASIC view.
            const bool basic =
                std::ranges::find(c.rows[index].views, Basic) != c.rows[index].views.end();
            EXPECT_EQ(IsHeadedDataOf(catalogue, index, kProgramDataTipo), basic);
        }
    }
}

// Each kind of row and the views both front ends offer for it, with the one rule that it is a
// program beside them. The main window's pane lists by the kind code alone (Tipo 255), so the
// headerless row after a program's data carries that code and is still no program.
TEST(BlockViewChoice, EachKindOfRowHasItsViewsAndIsAProgramOnlyAfterItsOwnHeader) {
    const Bytes program = {0x00, 0x0A, 0x01, 0x00, 0x0D};  // 10 REM
    const Bytes withVariables = {0x00, 0x0A, 0x01, 0x00, 0x0D, 0x61, 0x80};
    const Bytes numbers = {0x01, 0x01, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00};
    const Bytes letters = {0x01, 0x02, 0x00, 'h', 'i'};
    const Bytes code = {0x3E, 0x05, 0xC9};
    const TempTape tape(TapeBuilder()
                            .ProgramHeader("vars", 7, 10, 5)
                            .Data(withVariables)
                            .Data(code)
                            .ProgramHeader("plain", 5, 10, 5)
                            .Data(program)
                            .ProgramHeader("short", 5, 10, 9)
                            .Data(program)
                            .Header(1, "nums", 8, 0x8100)
                            .Data(numbers)
                            .Header(2, "text", 5, 0xC800)
                            .Data(letters)
                            .Header(3, "code", 3, 32768)
                            .Data(code)
                            .Header(7, "odd", 3, 0)
                            .Data(code)
                            .Get());
    CatalogueTable catalogue;
    ASSERT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    const struct {
        const char* what;
        Views views;
        bool program;
        std::int32_t tipo;
    } rows[] = {
        {"a Program header", kPlain, false, 0},
        {"a program with variables", {Hex, Disassembly, Basic, Variables}, true, 255},
        {"a headerless block after it", kPlain, false, 255},
        {"a Program header", kPlain, false, 0},
        {"a program with no variables", {Hex, Disassembly, Basic}, true, 255},
        {"a Program header", kPlain, false, 0},
        {"a program shorter than its header says", {Hex, Disassembly, Basic}, true, 255},
        {"a Numeric Array header", kPlain, false, 1},
        {"a number array", {Hex, Disassembly, Array}, false, 256},
        {"a Character Array header", kPlain, false, 2},
        {"a character array", {Hex, Disassembly, Array}, false, 257},
        {"a Bytes header", kPlain, false, 3},
        {"a Bytes block", kPlain, false, 258},
        {"a header of no known type", kPlain, false, 7},
        {"the block after it", kPlain, false, 262},
    };
    ASSERT_EQ(catalogue.RowCount(), std::size(rows));
    for (std::size_t index = 0; index < std::size(rows); ++index) {
        SCOPED_TRACE(std::to_string(index + 1) + ": " + rows[index].what);
        EXPECT_EQ(catalogue.Row(index).Tipo, rows[index].tipo);
        EXPECT_EQ(BlockViewsFor(catalogue, index), rows[index].views);
        EXPECT_EQ(IsProgram(catalogue, index), rows[index].program);
    }
}

TEST(BlockViewChoice, AnArrayRowTakesItsNameByteFromItsOwnHeader) {
    const Bytes numbers = {0x01, 0x01, 0x00, 0x00, 0x00, 0x07, 0x00, 0x00};
    const Bytes letters = {0x01, 0x02, 0x00, 'h', 'i'};
    const TempTape tape(TapeBuilder()
                            .Header(1, "nums", 8, 0x8100)
                            .Data(numbers)
                            .Data(numbers)
                            .Header(2, "text", 5, 0xC300)
                            .Data(letters)
                            .Header(3, "code", 8, 0x8100)
                            .Data(numbers)
                            .Get());
    CatalogueTable catalogue;
    ASSERT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    const std::vector<std::optional<std::uint8_t>> expected = {{}, 0x81, {}, {}, 0xC3, {}, {}};
    ASSERT_EQ(catalogue.RowCount(), expected.size());
    for (std::size_t index = 0; index < expected.size(); ++index) {
        SCOPED_TRACE("row " + std::to_string(index + 1));
        EXPECT_EQ(ArrayNameByte(catalogue, index), expected[index]);
    }
}

// The last address a disassembly can start at: past 0xFFFF a block's addresses stop.
TEST(BlockViewChoice, LastLoadedAddressStopsAt0xFFFF) {
    const struct {
        std::uint16_t load;
        std::size_t size;
        std::optional<std::uint16_t> expected;
    } cases[] = {
        {0x8000, 0, std::nullopt}, {0x8000, 1, 0x8000},     {0x8000, 3, 0x8002},
        {0xFFF0, 16, 0xFFFF},      {0xFFF0, 17, 0xFFFF},    {0xFFFF, 1, 0xFFFF},
        {0, 65536, 0xFFFF},        {0x4000, 70000, 0xFFFF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::to_string(c.load) + " + " + std::to_string(c.size));
        EXPECT_EQ(LastLoadedAddress(c.load, c.size), c.expected);
    }
}

}  // namespace
}  // namespace brisalto::testing
