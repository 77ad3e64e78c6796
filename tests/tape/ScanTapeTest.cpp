// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#ifdef _WIN32
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

#include <cstdint>
#include <filesystem>
#include <iterator>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

#include "CatalogueErrors.h"
#include "CatalogueTable.h"
#include "InOutError.h"
#include "RowText.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::ExpectedRow;
using testing::RowTexts;
using testing::TapeBuilder;
using testing::TempTape;

std::uint16_t OffsetOf(std::uint64_t position) {
    return static_cast<std::uint16_t>(position % 65536);
}

ExpectedRow HeaderRow(std::int64_t tipo, std::optional<std::string> tipoStr,
                      std::optional<std::string> name, std::uint16_t start, std::uint16_t size,
                      std::optional<std::uint16_t> par1, std::uint64_t position) {
    return {.Tipo = tipo,
            .TipoStr = std::move(tipoStr),
            .Name = std::move(name),
            .Offset = OffsetOf(position),
            .Start = start,
            .Size = size,
            .Par1 = par1,
            .Position = position};
}

ExpectedRow DataRow(std::int64_t tipo, std::uint16_t size, std::uint16_t par1,
                    std::uint64_t position) {
    return {.Tipo = tipo,
            .TipoStr = "Raw Data",
            .Offset = OffsetOf(position),
            .Size = size,
            .Par1 = par1,
            .Position = position};
}

// The ten name bytes as a header holds them, padded with spaces.
std::string Padded(std::string name) {
    name.resize(10, ' ');
    return name;
}

Bytes Filled(std::size_t count, std::uint8_t value = 0x55) {
    return Bytes(count, value);
}

enum class Outcome { Completed, Damaged, InOutFailure, RangeFailure };

struct ScanCase {
    const char* label;
    Bytes tape;
    bool showRaw;
    Outcome outcome;
    std::vector<ExpectedRow> rows;  // the open row, if one is left, comes last
    std::string message = "";       // of a failure
    int code = 0;                   // of an input/output failure
    bool lastRowOpen = false;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ScanCase& c, std::ostream* os) {
    *os << c.label;
}

// What ScanTape ended with, caught at the boundary as the window's handler would.
struct ScanEnd {
    Outcome outcome = Outcome::Completed;
    std::string message;
    int code = 0;
};

ScanEnd RunScan(const std::string& path, bool showRaw, CatalogueTable& catalogue) {
    try {
        const ScanResult result = ScanTape(path, showRaw, catalogue);
        return {result == ScanResult::Completed ? Outcome::Completed : Outcome::Damaged, "", 0};
    } catch (const InOutError& error) {
        return {Outcome::InOutFailure, error.what(), error.Code()};
    } catch (const FieldRangeError& error) {
        return {Outcome::RangeFailure, error.what(), 0};
    }
}

// Files, and on Windows every other kind of handle, that the process holds open now.
std::size_t OpenHandles() {
#ifdef _WIN32
    DWORD count = 0;
    ::GetProcessHandleCount(::GetCurrentProcess(), &count);
    return count;
#else
    const std::filesystem::directory_iterator entries("/dev/fd");
    return static_cast<std::size_t>(std::distance(begin(entries), end(entries)));
#endif
}

// A catalogue that a previous scan left with a posted row and an open one, as after a failure.
void LeaveStaleRows(CatalogueTable& catalogue) {
    catalogue.Append();
    catalogue.SetInteger("Tipo", 7);
    catalogue.Post();
    catalogue.Append();
    catalogue.SetString("Name", "stale");
}

class ScanTapeCases : public ::testing::TestWithParam<ScanCase> {};

TEST_P(ScanTapeCases, ListRowsAndEndAsExpected) {
    const ScanCase& c = GetParam();
    const TempTape tape(c.tape);
    CatalogueTable catalogue;
    LeaveStaleRows(catalogue);
    const std::size_t handlesBefore = OpenHandles();

    const ScanEnd end = RunScan(tape.Path(), c.showRaw, catalogue);

    EXPECT_EQ(end.outcome, c.outcome);
    EXPECT_EQ(end.message, c.message);
    EXPECT_EQ(end.code, c.code);
    EXPECT_EQ(RowTexts(catalogue), RowTexts(c.rows));
    EXPECT_EQ(catalogue.HasOpenRow(), c.lastRowOpen);
    EXPECT_EQ(OpenHandles(), handlesBefore) << "the tape was left open";
}

const Bytes kWorkedExample =
    TapeBuilder().ProgramHeader("hello", 120, 10, 80).Data(Filled(120)).Get();
const ExpectedRow kWorkedHeader = HeaderRow(0, "Program", Padded("hello"), 10, 120, 80, 2);
const ExpectedRow kWorkedData = DataRow(255, 120, 80, 23);

constexpr const char* kSizeMinusOne =
    "-1 is not a valid value for field 'Size'. The allowed range is 0 to 65535";

// One header of each kind, each with its data block, then a second Program header.
const Bytes kEveryKind = TapeBuilder()
                             .ProgramHeader("prog", 5, 0, 4)
                             .Data(Filled(5))
                             .Header(1, "nums", 10, 0x8100)  // array name byte 0x81: A
                             .Data(Filled(10))
                             .Header(2, "chars", 3, 0xDA00)  // 0xDA: Z$
                             .Data(Filled(3))
                             .Header(3, "code", 4, 32768)
                             .Data(Filled(4))
                             .Header(7, "odd", 2, 9, 9)
                             .Data(Filled(2))
                             .ProgramHeader("second", 3, 20, 2)
                             .Data(Filled(3))
                             .Get();

// A header of 65,535 bytes: only the first 65,501 fit the buffer.
Bytes LongHeaderBody() {
    Bytes body = Filled(65535);
    body[0] = 0x00;
    body[1] = 0x03;
    const std::string name = "longheader";
    std::copy(name.begin(), name.end(), body.begin() + 2);
    body[12] = 0x02;  // data length 0x0102
    body[13] = 0x01;
    body[14] = 0x04;  // parameter 1 0x0304
    body[15] = 0x03;
    return body;
}

INSTANTIATE_TEST_SUITE_P(
    Tapes, ScanTapeCases,
    ::testing::Values(
        ScanCase{"WorkedExampleShowRaw",
                 kWorkedExample,
                 true,
                 Outcome::Completed,
                 {kWorkedHeader, kWorkedData}},
        ScanCase{
            "WorkedExampleHideRaw", kWorkedExample, false, Outcome::Completed, {kWorkedHeader}},
        ScanCase{"EmptyFile", {}, true, Outcome::Completed, {}},
        ScanCase{"TapeEndingInHeader",
                 TapeBuilder().ProgramHeader("solo", 9, 1, 9).Get(),
                 true,
                 Outcome::Completed,
                 {HeaderRow(0, "Program", Padded("solo"), 1, 9, 9, 2)}},
        ScanCase{"StrayByteAfterLastBlock",
                 Concat({kWorkedExample, {0x13}}),
                 true,
                 Outcome::InOutFailure,
                 {kWorkedHeader, kWorkedData},
                 "Read beyond end of file",
                 100},
        ScanCase{"OnlyAStrayByte",
                 {0x13},
                 true,
                 Outcome::InOutFailure,
                 {},
                 "Read beyond end of file",
                 100},
        // a short header reads what its body did not fill as 0.
        ScanCase{"TinyHeaders",
                 TapeBuilder().Block({}).Block({0x00}).Block({0x00, 0x01}).Get(),
                 true,
                 Outcome::Completed,
                 {HeaderRow(0, "Program", std::nullopt, 0, 0, 0, 2),
                  HeaderRow(0, "Program", std::nullopt, 0, 0, 0, 4),
                  HeaderRow(1, "Numeric Array \xC0()", std::nullopt, 0, 0, std::nullopt, 7)}},
        ScanCase{"ZeroLengthAfterFullHeader",
                 TapeBuilder().Header(3, "abcdefghij", 0x1234, 0x5678, 0x9ABC).Block({}).Get(),
                 true,
                 Outcome::Completed,
                 {HeaderRow(3, "Bytes", "abcdefghij", 0x5678, 0x1234, std::nullopt, 2),
                  HeaderRow(0, "Program", std::nullopt, 0, 0, 0, 23)}},
        ScanCase{"ShortHeaderAfterDataBlock",
                 TapeBuilder().Data(Filled(40, 'A')).Block({0x00, 0x03}).Get(),
                 false,
                 Outcome::Completed,
                 {HeaderRow(3, "Bytes", std::nullopt, 0, 0, std::nullopt, 46)}},
        ScanCase{"ShortHeaderKeepsWhatItHas",
                 TapeBuilder()
                     .Header(0, "zzzzzzzzzz", 0xFFFF, 0xFFFF, 0xFFFF)
                     .Block({0x00, 0x00, 'A', 'B', 'C', ' ', ' ', ' ', ' ', ' ', ' ', ' ', 0x34})
                     .Get(),
                 true,
                 Outcome::Completed,
                 {HeaderRow(0, "Program", "zzzzzzzzzz", 65535, 65535, 65535, 2),
                  HeaderRow(0, "Program", Padded("ABC"), 0, 0x34, 0, 23)}},
        // no header yet, so the last header type and program length are 0.
        ScanCase{"DataBeforeAnyHeader",
                 TapeBuilder().Data({3, 2, 1}).Get(),
                 true,
                 Outcome::Completed,
                 {DataRow(255, 3, 0, 2)}},
        ScanCase{
            "DataAfterEveryKind",
            kEveryKind,
            true,
            Outcome::Completed,
            {HeaderRow(0, "Program", Padded("prog"), 0, 5, 4, 2), DataRow(255, 5, 4, 23),
             HeaderRow(1, "Numeric Array A()", Padded("nums"), 0x8100, 10, std::nullopt, 32),
             DataRow(256, 10, 4, 53),
             HeaderRow(2, "Character Array Z$()", Padded("chars"), 0xDA00, 3, std::nullopt, 67),
             DataRow(257, 3, 4, 88),
             HeaderRow(3, "Bytes", Padded("code"), 32768, 4, std::nullopt, 95),
             DataRow(258, 4, 4, 116),
             HeaderRow(7, std::nullopt, Padded("odd"), 9, 2, std::nullopt, 124),
             DataRow(262, 2, 4, 145), HeaderRow(0, "Program", Padded("second"), 20, 3, 2, 151),
             DataRow(255, 3, 2, 172)}},
        ScanCase{"HeaderTypeByte255",
                 TapeBuilder().Header(255, "ff", 1, 2, 3).Data(Filled(1)).Get(),
                 true,
                 Outcome::Completed,
                 {HeaderRow(255, std::nullopt, Padded("ff"), 2, 1, std::nullopt, 2),
                  DataRow(510, 1, 0, 23)}},
        // Blocks with other flags are never listed and leave the scan state alone, even when
        // their body looks like a header.
        ScanCase{"OtherFlagsNeverListed",
                 TapeBuilder()
                     .ProgramHeader("p", 1, 0, 80)
                     .Block({0x7F, 1, 2})
                     .Block({0x01})
                     .Block({0xFE, 0, 0, 0})
                     .Block(Concat({{0x80, 0x03}, Filled(17, 0)}))
                     .Data(Filled(1))
                     .Get(),
                 true,
                 Outcome::Completed,
                 {HeaderRow(0, "Program", Padded("p"), 0, 1, 80, 2), DataRow(255, 1, 80, 58)}},
        // Offset wraps at 64 KiB, Position does not.
        ScanCase{"OffsetWrapsAt64KiB",
                 TapeBuilder()
                     .Data(Filled(65530))
                     .Header(3, "wrap", 1, 2)
                     .Data(Filled(1))
                     .Data(Filled(65533))
                     .ProgramHeader("after", 0, 0, 0)
                     .Data({})
                     .Get(),
                 true,
                 Outcome::Completed,
                 {DataRow(255, 65530, 0, 2),
                  HeaderRow(3, "Bytes", Padded("wrap"), 2, 1, std::nullopt, 65536),
                  DataRow(258, 1, 0, 65557), DataRow(258, 65533, 0, 65562),
                  HeaderRow(0, "Program", Padded("after"), 0, 0, 0, 131099),
                  DataRow(255, 0, 0, 131120)}},
        // what does not fit the buffer is skipped exactly, so the next block is found.
        ScanCase{"LongBlocksSkipTheirTail",
                 TapeBuilder()
                     .Data(Filled(65499))
                     .Data(Filled(65500))
                     .Block(LongHeaderBody())
                     .ProgramHeader("next", 0, 0, 0)
                     .Get(),
                 true,
                 Outcome::Completed,
                 {DataRow(255, 65499, 0, 2), DataRow(255, 65500, 0, 65505),
                  HeaderRow(3, "Bytes", "longheader", 0x0304, 0x0102, std::nullopt, 131009),
                  HeaderRow(0, "Program", Padded("next"), 0, 0, 0, 196546)}},
        ScanCase{
            "LongBlockCutInItsTail",
            TapeBuilder().ProgramHeader("x", 1, 0, 1).Raw({0xFF, 0xFF}).Raw(Filled(65520)).Get(),
            true,
            Outcome::Damaged,
            {HeaderRow(0, "Program", Padded("x"), 0, 1, 1, 2)}},
        ScanCase{
            "LongBlockCutAtBufferSize",
            TapeBuilder().ProgramHeader("x", 1, 0, 1).Raw({0xFF, 0xFF}).Raw(Filled(65501)).Get(),
            true,
            Outcome::Damaged,
            {HeaderRow(0, "Program", Padded("x"), 0, 1, 1, 2)}},
        ScanCase{"DamagedDataKeepsRows",
                 Concat({kWorkedExample, {10, 0, 0xFF, 1, 2, 3, 4}}),
                 true,
                 Outcome::Damaged,
                 {kWorkedHeader, kWorkedData}},
        ScanCase{"DamagedHeaderKeepsRows",
                 Concat({kWorkedExample, {19, 0, 0x00, 0x00, 'a'}}),
                 true,
                 Outcome::Damaged,
                 {kWorkedHeader, kWorkedData}},
        ScanCase{"DamagedFirstBlock", {5, 0, 0xFF}, true, Outcome::Damaged, {}},
        // A listed data block of length 1 gets Size -1, which the catalogue refuses; the row
        // stays open with the fields set before Size.
        ScanCase{"DataBlockOfLengthOne",
                 Concat({kWorkedExample, {1, 0, 0xFF}}),
                 true,
                 Outcome::RangeFailure,
                 {kWorkedHeader, kWorkedData, ExpectedRow{.Tipo = 255, .TipoStr = "Raw Data"}},
                 kSizeMinusOne,
                 0,
                 true},
        ScanCase{"DataBlockOfLengthOneUnlisted",
                 Concat({kWorkedExample, {1, 0, 0xFF}}),
                 false,
                 Outcome::Completed,
                 {kWorkedHeader}},
        ScanCase{"NameBytesAsTheyAre",
                 TapeBuilder()
                     .Header(3,
                             "\x80\x90\xA0\xFF"
                             "abcdef",
                             1, 1)
                     .Header(3, std::string("ab\0cdefghi", 10), 1, 1)
                     .Header(3, std::string("\0bc", 3), 1, 1)
                     .Header(3, "", 1, 1)
                     .Header(3, "\x01\x1F\x7F", 1, 1)
                     .Get(),
                 true,
                 Outcome::Completed,
                 {HeaderRow(3, "Bytes",
                            "\x80\x90\xA0\xFF"
                            "abcdef",
                            1, 1, std::nullopt, 2),
                  HeaderRow(3, "Bytes", "ab", 1, 1, std::nullopt, 23),
                  HeaderRow(3, "Bytes", std::nullopt, 1, 1, std::nullopt, 44),
                  HeaderRow(3, "Bytes", Padded(""), 1, 1, std::nullopt, 65),
                  HeaderRow(3, "Bytes", Padded("\x01\x1F\x7F"), 1, 1, std::nullopt, 86)}}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

// The catalogue is emptied before the open, so a tape that cannot be opened leaves it empty.
TEST(ScanTapeOpen, FailureLeavesEmptyCatalogue) {
    const TempTape tape(kWorkedExample);
    const std::vector<std::pair<std::string, std::string>> cases = {
        {tape.Folder() + "/missing.tap", "File not found"}, {tape.Folder(), "File access denied"}};
    for (const auto& [path, message] : cases) {
        CatalogueTable catalogue;
        LeaveStaleRows(catalogue);
        const ScanEnd end = RunScan(path, true, catalogue);
        EXPECT_EQ(end.outcome, Outcome::InOutFailure);
        EXPECT_EQ(end.message, message);
        EXPECT_EQ(catalogue.RowCount(), 0u);
        EXPECT_FALSE(catalogue.HasOpenRow());
    }
}

}  // namespace
}  // namespace brisalto
