// SPDX-License-Identifier: GPL-3.0-or-later
// Scanning and listing never change a tape, even a read-only one in a read-only folder; a tape
// changed after its scan is listed as it now is, or fails, and never with bytes nobody read.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "CatalogueTable.h"
#include "InOutError.h"
#include "LineSink.h"
#include "ListBasicProgram.h"
#include "RunCommand.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TapeDocument.h"
#include "TempTape.h"
#include "WriteProtect.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::ReadWholeFile;
using testing::RunCommand;
using testing::TapeBuilder;
using testing::TempTape;
using testing::WriteProtect;

constexpr std::uint8_t kPrint = 0xF5;
constexpr std::uint8_t kRem = 0xEA;

// A Program header and its data block holding one line, 10 PRINT <letter>.
Bytes PrintTape(char letter) {
    return TapeBuilder()
        .ProgramHeader("hello", 7, 10, 7)
        .Data({0x00, 0x0A, 0x03, 0x00, kPrint, static_cast<std::uint8_t>(letter), 0x0D})
        .Get();
}

struct FileState {
    Bytes bytes;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(const std::string& path) {
    struct stat status {};
    EXPECT_EQ(::stat(path.c_str(), &status), 0) << path;
    return {ReadWholeFile(path), status.st_mtim.tv_sec, status.st_mtim.tv_nsec};
}

// An old modification time, so that any write, however soon, would show.
void BackdateModificationTime(const std::string& path) {
    const timespec times[2] = {{978307200, 123456789}, {978307200, 123456789}};
    ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
}

// Scans with and without raw blocks and lists every program row; failures are expected for some
// tapes and do not matter here.
void ScanAndListEverything(const std::string& path) {
    for (const bool showRaw : {true, false}) {
        CatalogueTable catalogue;
        try {
            ScanTape(path, showRaw, catalogue);
        } catch (const std::exception&) {
        }
        for (std::size_t i = 0; i < catalogue.RowCount(); ++i) {
            const CatalogueRow& row = catalogue.Row(i);
            if (row.Tipo != 255) continue;
            LineVector lines;
            try {
                ListBasicProgram(brisalto::ReadTapeDocument(path), row.Position,
                                 row.Par1.value_or(0), lines);
            } catch (const InOutError&) {
            }
        }
    }
}

TEST(NothingLost, ScanAndListChangeNoByteNorTheModificationTime) {
    const std::string zmakebasTape = RunCommand(
        "printf '10 REM x\\\\a\\n20 PRINT \"hi\";1.5\\n30 INK 2: GO TO 10\\n' | zmakebas -n "
        "prog -a 10 -o /dev/stdout");
    ASSERT_FALSE(zmakebasTape.empty());
    const std::vector<Bytes> tapes = {
        Bytes(zmakebasTape.begin(), zmakebasTape.end()),
        PrintTape('a'),
        TapeBuilder().ProgramHeader("cut", 7, 10, 7).Raw({9, 0, 0xFF, 0x00}).Get(),
        TapeBuilder().ProgramHeader("stray", 7, 10, 7).Raw({0x13}).Get(),
        TapeBuilder().Block({0xFF}).Get(),
    };
    for (const Bytes& contents : tapes) {
        const TempTape tape(contents);
        BackdateModificationTime(tape.Path());
        const FileState before = StateOf(tape.Path());
        ScanAndListEverything(tape.Path());
        EXPECT_TRUE(StateOf(tape.Path()) == before) << "tape of " << contents.size() << " bytes";
    }
}

// The tape write-protected, in a folder that may not be written either.
class ReadOnlyTape {
public:
    explicit ReadOnlyTape(const TempTape& tape) : tape_(tape), protect_(tape.Path()) {
        ::chmod(tape_.Folder().c_str(), 0555);
    }
    ~ReadOnlyTape() { ::chmod(tape_.Folder().c_str(), 0755); }
    ReadOnlyTape(const ReadOnlyTape&) = delete;
    ReadOnlyTape& operator=(const ReadOnlyTape&) = delete;

    bool RefusesWriting() const { return protect_.Refuses(); }

private:
    const TempTape& tape_;
    const WriteProtect protect_;
};

TEST(NothingLost, ReadOnlyTapeInReadOnlyFolderScansAndListsUnchanged) {
    const TempTape tape(PrintTape('a'));
    BackdateModificationTime(tape.Path());
    const ReadOnlyTape readOnly(tape);
    if (!readOnly.RefusesWriting()) GTEST_SKIP() << "this file system cannot refuse root a write";
    const FileState before = StateOf(tape.Path());

    CatalogueTable catalogue;
    ASSERT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    ASSERT_EQ(catalogue.RowCount(), 2u);
    LineVector lines;
    ListBasicProgram(brisalto::ReadTapeDocument(tape.Path()), catalogue.Row(1).Position,
                     *catalogue.Row(1).Par1, lines);

    EXPECT_EQ(lines.lines, std::vector<std::string>{"  10  PRINT a"});
    EXPECT_TRUE(StateOf(tape.Path()) == before);
}

struct ChangedTape {
    const char* name;
    std::optional<Bytes> now;  // the file's contents at listing time; nothing: deleted
    std::vector<std::string> listing;
    std::optional<int> failure;  // the InOutError code the listing ends with
};

void PrintTo(const ChangedTape& change, std::ostream* out) {
    *out << change.name;
}

class TapeChangedAfterScan : public ::testing::TestWithParam<ChangedTape> {};

TEST_P(TapeChangedAfterScan, ListsWhatTheFileNowHoldsOrFails) {
    const ChangedTape& change = GetParam();
    const TempTape tape(PrintTape('a'));
    CatalogueTable catalogue;
    ASSERT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    const CatalogueRow program = catalogue.Row(1);
    if (change.now) {
        tape.Rewrite(*change.now);
    } else {
        ASSERT_EQ(std::remove(tape.Path().c_str()), 0);
    }

    LineVector lines;
    try {
        ListBasicProgram(brisalto::ReadTapeDocument(tape.Path()), program.Position, *program.Par1,
                         lines);
        EXPECT_FALSE(change.failure) << "listed although the file cannot hold the program";
    } catch (const InOutError& error) {
        EXPECT_EQ(std::optional(error.Code()), change.failure) << error.what();
    }
    EXPECT_EQ(lines.lines, change.listing);
}

const Bytes kPrintA = PrintTape('a');

INSTANTIATE_TEST_SUITE_P(
    NothingLost, TapeChangedAfterScan,
    ::testing::Values(ChangedTape{"Replaced", PrintTape('b'), {"  10  PRINT b"}, std::nullopt},
                      // The new line claims 50 bytes; only the 7 the row announces are read, and
                      // only those of them that lie inside the line are shown.
                      ChangedTape{
                          "ReplacedByALongerLine",
                          TapeBuilder()
                              .ProgramHeader("hello", 7, 10, 7)
                              .Data({0x00, 0x0A, 50, 0x00, kRem, 'A', 'B', 'C', 'D', 'E', 'F'})
                              .Get(),
                          {"  10  REM A"},
                          std::nullopt},
                      ChangedTape{"TruncatedInsideTheProgram",
                                  Bytes(kPrintA.begin(), kPrintA.begin() + 27),
                                  {},
                                  kReadBeyondEndOfFile},
                      ChangedTape{"TruncatedBeforeTheProgram",
                                  Bytes(kPrintA.begin(), kPrintA.begin() + 10),
                                  {},
                                  kReadBeyondEndOfFile},
                      ChangedTape{"Deleted", std::nullopt, {}, 2}),
    [](const ::testing::TestParamInfo<ChangedTape>& tested) {
        return std::string(tested.param.name);
    });

}  // namespace
}  // namespace brisalto
