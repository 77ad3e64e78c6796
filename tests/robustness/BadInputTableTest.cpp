// SPDX-License-Identifier: GPL-3.0-or-later
// One row per kind of damaged or strange tape in the README's table "Damaged and strange tapes":
// the rows the grid shows (as RowText spells them, "open" for a row left open by a failure), how
// the scan ends, and for a program row how its listing reads.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "CatalogueErrors.h"
#include "CatalogueTable.h"
#include "InOutError.h"
#include "LineSink.h"
#include "ListBasicProgram.h"
#include "RowText.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TapeDocument.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::RowText;
using testing::TapeBuilder;
using testing::TempTape;
using testing::TzxBuilder;

// Where the scan is pointed: the row's tape, or something that is no readable tape at all.
enum class Target { Tape, MissingFile, Folder, UnreadableFile };

struct BadTape {
    const char* name;
    Bytes tape;
    std::vector<std::string> rows;  // what the grid shows, in order
    std::string outcome;            // the scan's result, or the failure that ends it
    Target target = Target::Tape;
    // The program row whose listing is checked, and the lines it must list.
    std::optional<std::size_t> listedRow = std::nullopt;
    std::vector<std::string> listing = {};
};

// Test names carry the row's name; the default would print the row's bytes.
void PrintTo(const BadTape& row, std::ostream* out) {
    *out << row.name;
}

constexpr std::uint8_t kPrint = 0xF5;

// Line 10: PRINT a.
const Bytes kPrintA = {0x00, 0x0A, 0x03, 0x00, kPrint, 'a', 0x0D};

// A Program header "hello" for the bytes of program, and its data block.
Bytes ProgramTape(const Bytes& program, std::string_view name = "hello") {
    const auto length = static_cast<std::uint16_t>(program.size());
    return TapeBuilder().ProgramHeader(name, length, 10, length).Data(program).Get();
}

// A Bytes block whose body (65,535 bytes) outgrows the block buffer, zeros that would read as
// empty headers if the scanner lost its place, then a program that lies past 64 KiB.
Bytes HugeBlockThenProgram() {
    return TapeBuilder()
        .Header(3, "big", 65533, 32768)
        .Data(Bytes(65533, 0x00))
        .ProgramHeader("after", 7, 10, 7)
        .Data(kPrintA)
        .Get();
}

// One more block than a scan reads: the hello program, blocks that are never listed, the program
// again.
Bytes TooManyBlocks() {
    Bytes tape = ProgramTape(kPrintA);
    for (std::size_t block = 2; block < (1u << 20); ++block) tape.insert(tape.end(), {1, 0, 0x7F});
    return Concat({tape, ProgramTape(kPrintA)});
}

// A pure data block of 70,000 bytes, then the hello program past 64 KiB.
Bytes TzxLongBodyThenProgram() {
    Bytes body(70000, 0x00);
    body[0] = 0xFF;
    return TzxBuilder().Body(body, 0x14).FromTap(ProgramTape(kPrintA)).Get();
}

std::vector<std::string> GridRows(const CatalogueTable& catalogue) {
    std::vector<std::string> rows;
    for (std::size_t i = 0; i < catalogue.RowCount(); ++i)
        rows.push_back(RowText(catalogue.Row(i)));
    if (catalogue.HasOpenRow()) rows.back() += " open";
    return rows;
}

std::string Scan(const std::string& path, CatalogueTable& catalogue) {
    try {
        return ScanTape(path, true, catalogue) == ScanResult::Completed ? "Completed" : "Damaged";
    } catch (const InOutError& error) {
        return "InOutError " + std::to_string(error.Code()) + ": " + error.what();
    } catch (const FieldRangeError& error) {
        return std::string("FieldRangeError: ") + error.what();
    }
}

// The outcome line, then one line per grid row. The catalogue first holds the rows of an
// earlier tape, which every scan must remove.
std::string ScanReport(const std::string& earlier, const std::string& path) {
    CatalogueTable catalogue;
    if (const std::string before = Scan(earlier, catalogue); before != "Completed") {
        return "earlier tape: " + before;
    }
    std::string report = Scan(path, catalogue);
    for (const std::string& row : GridRows(catalogue)) report += "\n" + row;
    return report;
}

// Mode bits stop everyone but root; root gets the report from a child that gave up its rights.
std::string ScanReportAsUnprivileged(const std::string& earlier, const std::string& path) {
    if (::geteuid() != 0) return ScanReport(earlier, path);
    std::array<int, 2> pipeEnds{};
    if (::pipe(pipeEnds.data()) != 0) return "pipe failed";
    const pid_t child = ::fork();
    if (child == 0) {
        ::close(pipeEnds[0]);
        constexpr uid_t kNobody = 65534;
        const std::string report = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0
                                       ? ScanReport(earlier, path)
                                       : std::string("cannot drop root rights");
        const bool written = ::write(pipeEnds[1], report.data(), report.size()) ==
                             static_cast<ssize_t>(report.size());
        ::_exit(written ? 0 : 1);
    }
    ::close(pipeEnds[1]);
    std::string report;
    std::array<char, 512> chunk{};
    for (ssize_t got; (got = ::read(pipeEnds[0], chunk.data(), chunk.size())) > 0;) {
        report.append(chunk.data(), static_cast<std::size_t>(got));
    }
    ::close(pipeEnds[0]);
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    return report;
}

std::string Expected(const BadTape& row) {
    std::string report = row.outcome;
    for (const std::string& line : row.rows) report += "\n" + line;
    return report;
}

class BadInputTable : public ::testing::TestWithParam<BadTape> {};

TEST_P(BadInputTable, ShowsWhatTheTableSays) {
    const BadTape& row = GetParam();
    const TempTape tape(row.tape);
    const TempTape earlier(TapeBuilder().Header(3, "earlier", 1, 2).Get());
    // Open to everyone, so that only the tape's own mode can stop an unprivileged reader.
    ASSERT_EQ(::chmod(tape.Folder().c_str(), 0755), 0);
    ASSERT_EQ(::chmod(earlier.Folder().c_str(), 0755), 0);

    std::string path = tape.Path();
    switch (row.target) {
        case Target::Tape: break;
        case Target::MissingFile: path = tape.Folder() + "/missing.tap"; break;
        case Target::Folder: path = tape.Folder(); break;
        case Target::UnreadableFile: ASSERT_EQ(::chmod(path.c_str(), 0), 0); break;
    }
    EXPECT_EQ(ScanReportAsUnprivileged(earlier.Path(), path), Expected(row));

    if (!row.listedRow) return;
    CatalogueTable catalogue;
    ScanTape(path, true, catalogue);
    ASSERT_LT(*row.listedRow, catalogue.RowCount());
    const CatalogueRow& program = catalogue.Row(*row.listedRow);
    LineVector lines;
    ListBasicProgram(brisalto::ReadTapeDocument(path), program.Position, program.Par1.value_or(0),
                     lines);
    EXPECT_EQ(lines.lines, row.listing);
}

const std::string kReadBeyondEnd = "InOutError 100: Read beyond end of file";
const std::string kHelloHeader = "2|0|Program|hello     |10|7|7 @2";
const std::string kHelloData = "23|255|Raw Data|||7|7 @23";

const BadTape kBadTapes[] = {
    {"Empty", {}, {}, "Completed"},
    {"StrayByte",
     Concat({ProgramTape(kPrintA), {0x13}}),
     {kHelloHeader, kHelloData},
     kReadBeyondEnd},
    {"ShortBody",
     Concat({TapeBuilder().ProgramHeader("hello", 7, 10, 7).Get(), {9, 0, 0xFF, 0x00, 0x0A}}),
     {kHelloHeader},
     "Damaged"},
    // Its two zero length bytes make it a Program header; the rest of it reads as zeros.
    {"LengthZero",
     TapeBuilder().ProgramHeader("hello", 7, 10, 7).Block({}).Get(),
     {kHelloHeader, "23|0|Program||0|0|0 @23"},
     "Completed"},
    {"LengthOneDataBlock",
     TapeBuilder().ProgramHeader("hello", 7, 10, 7).Block({0xFF}).Get(),
     {kHelloHeader, "|255|Raw Data|||| @0 open"},
     "FieldRangeError: -1 is not a valid value for field 'Size'. The allowed range is 0 to 65535"},
    {"HugeLength",
     HugeBlockThenProgram(),
     {"2|3|Bytes|big       |32768||65533 @2", "23|258|Raw Data|||0|65533 @23",
      "24|0|Program|after     |10|7|7 @65560", "45|255|Raw Data|||7|7 @65581"},
     "Completed"},
    {"BadFlag",
     Concat({TapeBuilder().Block(Bytes(19, 0x7F)).Get(), ProgramTape(kPrintA)}),
     {"23|0|Program|hello     |10|7|7 @23", "44|255|Raw Data|||7|7 @44"},
     "Completed"},
    // The header fields past its end read as zeros, not as the bytes of the header before it.
    {"ShortHeader",
     TapeBuilder().ProgramHeader("hello", 7, 10, 7).Block({0x00, 0x03, 'A', 'B', 'C'}).Get(),
     {kHelloHeader, "23|3|Bytes|ABC|0||0 @23"},
     "Completed"},
    {"LineLengthZero",
     ProgramTape(Concat({{0x00, 0x0A, 0x00, 0x00}, {0x00, 0x14, 0x03, 0x00, kPrint, 'a', 0x0D}})),
     {"2|0|Program|hello     |10|11|11 @2", "23|255|Raw Data|||11|11 @23"},
     "Completed",
     Target::Tape,
     1,
     {"  10 ", "  20  PRINT a"}},
    // The hidden number's five bytes would run past the line's end.
    {"NumberMarkerAtLineEnd",
     ProgramTape(Concat({{0x00, 0x0A, 0x05, 0x00, '1', 0x0E, 0x00, 0x00, 0x0D},
                         {0x00, 0x14, 0x03, 0x00, kPrint, 'a', 0x0D}})),
     {"2|0|Program|hello     |10|16|16 @2", "23|255|Raw Data|||16|16 @23"},
     "Completed",
     Target::Tape,
     1,
     {"  10 1", "  20  PRINT a"}},
    // Offset shows the position modulo 65536; the listing reads from the full position.
    {"ProgramBeyond64KiB",
     HugeBlockThenProgram(),
     {"2|3|Bytes|big       |32768||65533 @2", "23|258|Raw Data|||0|65533 @23",
      "24|0|Program|after     |10|7|7 @65560", "45|255|Raw Data|||7|7 @65581"},
     "Completed",
     Target::Tape,
     3,
     {"  10  PRINT a"}},
    {"TooManyBlocks", TooManyBlocks(), {kHelloHeader, kHelloData}, "Damaged"},
    // TZX tapes: the rows of their bodies as in a TAP file, at the positions of the flag bytes.
    {"TzxProgram",
     TzxBuilder().FromTap(ProgramTape(kPrintA)).Get(),
     {"15|0|Program|hello     |10|7|7 @15", "39|255|Raw Data|||7|7 @39"},
     "Completed",
     Target::Tape,
     1,
     {"  10  PRINT a"}},
    {"TzxCutInBlock",
     TzxBuilder().FromTap(ProgramTape(kPrintA)).Raw({0x35, 'P', 'O', 'K', 'E'}).Get(),
     {"15|0|Program|hello     |10|7|7 @15", "39|255|Raw Data|||7|7 @39"},
     "Damaged"},
    {"TzxCutInVersion", {'Z', 'X', 'T', 'a', 'p', 'e', '!', 0x1A, 0x01}, {}, "Damaged"},
    {"TzxUndefinedBlock",
     TzxBuilder().Raw({0x7E, 3, 0, 0, 0, 0x00, 0x00, 0x00}).FromTap(ProgramTape(kPrintA)).Get(),
     {"23|0|Program|hello     |10|7|7 @23", "47|255|Raw Data|||7|7 @47"},
     "Completed"},
    {"TzxBodyOver64KiB",
     TzxLongBodyThenProgram(),
     {"21|255|Raw Data|||0| @21", "4490|0|Program|hello     |10|7|7 @70026",
      "4514|255|Raw Data|||7|7 @70050"},
     "Completed",
     Target::Tape,
     2,
     {"  10  PRINT a"}},
    {"MissingFile", ProgramTape(kPrintA), {}, "InOutError 2: File not found", Target::MissingFile},
    {"Folder", ProgramTape(kPrintA), {}, "InOutError 5: File access denied", Target::Folder},
    {"UnreadableFile",
     ProgramTape(kPrintA),
     {},
     "InOutError 5: File access denied",
     Target::UnreadableFile},
};

INSTANTIATE_TEST_SUITE_P(DamagedAndStrangeTapes, BadInputTable, ::testing::ValuesIn(kBadTapes),
                         [](const ::testing::TestParamInfo<BadTape>& tested) {
                             return std::string(tested.param.name);
                         });

}  // namespace
}  // namespace brisalto
