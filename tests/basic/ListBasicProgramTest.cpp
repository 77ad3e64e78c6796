// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListBasicProgram.h"
#include "TapeDocument.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "BasicProgramBytes.h"
#include "CatalogueTable.h"
#include "InOutError.h"
#include "LineSink.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

using Lines = std::vector<std::string>;

const Bytes kProgram =
    Concat({StoredLine(10, {0xF5, 'a'}), StoredLine(20, {0xEC, '1', '0', 0x0E, 0, 0, 10, 0, 0})});
const Lines kListing = {"  10  PRINT a", "  20  GO TO 10"};

struct Failure {
    int code;
    std::string message;
};

// Lists into lines and returns the input/output failure, if one came out.
std::optional<Failure> List(const std::string& path, std::uint64_t position, std::uint16_t length,
                            LineVector& lines) {
    try {
        ListBasicProgram(brisalto::ReadTapeDocument(path), position, length, lines);
    } catch (const InOutError& error) {
        return Failure{error.Code(), error.what()};
    }
    return std::nullopt;
}

TEST(ListBasicProgram, ListsProgramStoredBeyond64KiB) {
    const TempTape tape(TapeBuilder()
                            .Header(3, "filler1", 40000, 0)
                            .Data(Bytes(40000, 0xF5))
                            .Header(3, "filler2", 30000, 0)
                            .Data(Bytes(30000, 0xF5))
                            .ProgramHeader("prog", std::uint16_t(kProgram.size()), 10,
                                           std::uint16_t(kProgram.size()))
                            .Data(kProgram)
                            .Get());
    CatalogueTable catalogue;
    ASSERT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    ASSERT_EQ(catalogue.RowCount(), 6u);
    const CatalogueRow& row = catalogue.Row(5);
    ASSERT_EQ(row.Tipo, 255);
    ASSERT_GT(row.Position, 65536u);

    LineVector lines;
    ASSERT_FALSE(List(tape.Path(), row.Position, row.Par1.value(), lines));
    EXPECT_EQ(lines.lines, kListing);
}

struct ReadCase {
    std::uint64_t position;
    std::uint16_t length;
    bool fits;
};

TEST(ListBasicProgram, NeedsEveryProgramByteInTheFile) {
    // Two bytes in front, then the flag and the program, and nothing after.
    const Bytes contents = Concat({Bytes{0x55, 0x55, 0xFF}, kProgram});
    const TempTape tape(contents);
    const auto programLength = static_cast<std::uint16_t>(kProgram.size());
    const ReadCase cases[] = {
        {2, programLength, true},
        {2, static_cast<std::uint16_t>(programLength + 1), true},  // up to the file's last byte
        {2, static_cast<std::uint16_t>(programLength + 2), false},
        {3, static_cast<std::uint16_t>(programLength + 1), false},
        {contents.size(), 1, false},
        {contents.size() + 100, 1, false},  // moving past the end is no failure, reading is
    };
    for (const ReadCase& c : cases) {
        LineVector lines;
        const auto failure = List(tape.Path(), c.position, c.length, lines);
        if (c.fits) {
            EXPECT_FALSE(failure) << "position " << c.position << " length " << c.length;
        } else {
            ASSERT_TRUE(failure) << "position " << c.position << " length " << c.length;
            EXPECT_EQ(failure->code, 100);
            EXPECT_EQ(failure->message, "Read beyond end of file");
            EXPECT_TRUE(lines.lines.empty());
        }
    }
}

TEST(ListBasicProgram, LengthZeroListsNothing) {
    const TempTape tape(Concat({Bytes{0xFF}, kProgram}));
    LineVector lines;
    EXPECT_FALSE(List(tape.Path(), 0, 0, lines));
    EXPECT_TRUE(lines.lines.empty());
}

// 1,821 lines of 36 bytes each: 65,556 program bytes, more than the 65,501 that are kept.
Bytes LongProgram() {
    Bytes program;
    for (std::uint16_t number = 1; number <= 1821; ++number) {
        Bytes text{0xF5};
        text.insert(text.end(), 30, 'x');
        const Bytes line = StoredLine(number, text);
        program.insert(program.end(), line.begin(), line.end());
    }
    return program;
}

TEST(ListBasicProgram, DecodesOnlyTheFirst65501BytesOfALongProgram) {
    const Bytes program = LongProgram();
    const TempTape tape(Concat({Bytes{0xFF}, program}));
    LineVector lines;
    ASSERT_FALSE(List(tape.Path(), 0, 65535, lines));
    // Line k (from 0) ends at index 36k + 36; lines 0..1818 end at or before index 65,484, and
    // line 1819 is cut after index 65,500: its token and 11 of its 30 letters.
    ASSERT_EQ(lines.lines.size(), 1820u);
    EXPECT_EQ(lines.lines[1818], "1819  PRINT " + std::string(30, 'x'));
    EXPECT_EQ(lines.lines[1819], "1820  PRINT " + std::string(11, 'x'));
}

TEST(ListBasicProgram, LongProgramNeedsAllItsBytesPresent) {
    Bytes contents = Concat({Bytes{0xFF}, LongProgram()});
    contents.resize(65534);  // more than is kept, one fewer than the 65,535 asked for
    const TempTape tape(contents);
    LineVector lines;
    const auto failure = List(tape.Path(), 0, 65535, lines);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, 100);
    EXPECT_TRUE(lines.lines.empty());
}

TEST(ListBasicProgram, MissingFileIsNotFound) {
    const TempTape tape(kProgram);
    LineVector lines;
    const auto failure = List(tape.Folder() + "/missing.tap", 0, 4, lines);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->code, 2);
    EXPECT_EQ(failure->message, "File not found");
    EXPECT_TRUE(lines.lines.empty());
}

}  // namespace
}  // namespace brisalto::testing
