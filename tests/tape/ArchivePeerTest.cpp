// SPDX-License-Identifier: GPL-3.0-or-later
// Tapes inside archives made by the real archivers: which entries are tapes, each tape read from
// its archive exactly as from its own file, and the failures of bad archives in words. A missing
// tool fails these tests: the test command installs it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "CatalogueTable.h"
#include "InOutError.h"
#include "LineSink.h"
#include "ListBasicProgram.h"
#include "ReadScreen.h"
#include "RowText.h"
#include "RunCommand.h"
#include "ScanTape.h"
#include "TapeArchive.h"
#include "TapeDocument.h"
#include "TempTape.h"

namespace brisalto {
namespace {

using testing::RowTexts;
using testing::RunCommand;
using testing::TempTape;

class Lines final : public LineSink {
public:
    void AddLine(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

// Every row of the tape at location, then the listing of each of its programs and whether its
// screens read.
std::vector<std::string> Everything(const TapeLocation& location) {
    CatalogueTable catalogue;
    std::vector<std::string> seen;
    seen.push_back(ScanTape(location, true, catalogue) == ScanResult::Completed ? "Completed"
                                                                                : "Damaged");
    for (const std::string& row : RowTexts(catalogue)) seen.push_back(row);
    for (std::size_t i = 0; i < catalogue.RowCount(); ++i) {
        const CatalogueRow& row = catalogue.Row(i);
        if (row.Tipo == 255) {
            Lines lines;
            ListBasicProgram(brisalto::ReadTapeDocument(location), row.Position,
                             row.Par1.value_or(0), lines);
            seen.insert(seen.end(), lines.lines.begin(), lines.lines.end());
        }
        if (row.Size == 6912 && row.Checksum) {
            ScreenPixels pixels;
            seen.push_back(ReadScreen(brisalto::ReadTapeDocument(location), row.Position,
                                      *row.Checksum, pixels)
                               ? "screen"
                               : "no screen");
        }
    }
    return seen;
}

// A folder as archives hold one: four tapes at two depths (one TZX, names in upper case, a
// loading screen, one past 64 KiB), macOS companions, a text file and a zip with a tape inside.
// Made once, removed at the end of the run.
const std::string& SourceFolder() {
    static const TempTape anchor({}, "anchor");
    static const std::string folder = [] {
        const std::string made = anchor.Folder() + "/src";
        RunCommand("mkdir -p '" + made + "/sub' '" + made + "/__MACOSX' '" + anchor.Folder() +
                   "/short' && cd '" + made +
                   "' && printf '10 PRINT \"A\"\\n20 GO TO 10\\n' > a.bas && "
                   "zmakebas -n sidea -o a.tap a.bas && tapeconv a.tap 'Game - Side A.tzx' && "
                   "printf '10 REM side B\\n20 PRINT \"B\"\\n' > b.bas && "
                   "zmakebas -n sideb -o 'Side B.tap' b.bas && rm a.tap a.bas b.bas && "
                   "cp '" BRISALTO_TEST_DATA
                   "/loading.tap' sub/LOADING.TAP && "
                   "for n in 1 2 3 4 5 6 7 8 9 10; do cat sub/LOADING.TAP; done > sub/LONG.TAP && "
                   "cp 'Side B.tap' __MACOSX/._x.tap && cp 'Side B.tap' ._y.tap && "
                   "echo notes > readme.txt && zip -q inner.zip 'Side B.tap'");
        return made;
    }();
    return folder;
}

std::string WithoutDotSlash(std::string name) {
    return name.starts_with("./") ? name.substr(2) : name;
}

struct ArchiveCase {
    const char* name;
    const char* command;             // run in the folder that holds the tapes
    const char* archive;             // what it makes beside that folder
    std::vector<std::string> tapes;  // the tape entries expected, in any order
    const char* bare = nullptr;      // the file packed, when not named like its entry
};

void PrintTo(const ArchiveCase& archiveCase, std::ostream* out) {
    *out << archiveCase.name;
}

const std::vector<std::string> kFolderTapes = {"Game - Side A.tzx", "Side B.tap", "sub/LOADING.TAP",
                                               "sub/LONG.TAP"};

class ArchivedTapes : public ::testing::TestWithParam<ArchiveCase> {};

TEST_P(ArchivedTapes, AreFoundAndReadAsTheirOwnFiles) {
    const std::string& folder_ = SourceFolder();
    const std::string out = folder_ + "/../" + GetParam().archive;
    std::filesystem::remove(out);
    RunCommand("cd '" + folder_ + "' && " + GetParam().command);
    const TapeFileContents contents = FindTapes(out);
    ASSERT_TRUE(contents.archive);
    std::vector<std::string> names;
    for (const ArchiveTape& tape : contents.tapes) names.push_back(WithoutDotSlash(tape.name));
    std::vector<std::string> sorted = names;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(sorted, GetParam().tapes);
    for (std::size_t i = 0; i < contents.tapes.size(); ++i) {
        const ArchiveTape& tape = contents.tapes[i];
        const std::string bare =
            folder_ + "/" + (GetParam().bare != nullptr ? GetParam().bare : names[i]);
        EXPECT_EQ(Everything(TapeLocation(out, tape.name, tape.index)), Everything(bare))
            << tape.name;
    }
}

INSTANTIATE_TEST_SUITE_P(
    RealArchivers, ArchivedTapes,
    ::testing::Values(
        ArchiveCase{"Zip", "zip -qr ../o.zip .", "o.zip", kFolderTapes},
        // Stored, not compressed: a tape past 64 KiB comes in several reads.
        ArchiveCase{"ZipStored", "zip -qr0 ../o0.zip .", "o0.zip", kFolderTapes},
        ArchiveCase{"SevenZip", "7z a -bd -bso0 -t7z ../o.7z .", "o.7z", kFolderTapes},
        ArchiveCase{"TarGzByBsdtar", "bsdtar -czf ../o.tgz .", "o.tgz", kFolderTapes},
        ArchiveCase{"TarXz", "tar -cJf ../o.tar.xz .", "o.tar.xz", kFolderTapes},
        // Named by the name of the file without the compressor's extension.
        ArchiveCase{
            "Gzip", "gzip -c 'Side B.tap' > '../Side B.tap.gz'", "Side B.tap.gz", {"Side B.tap"}},
        ArchiveCase{"Bzip2",
                    "bzip2 -c 'Side B.tap' > '../Side B.tap.bz2'",
                    "Side B.tap.bz2",
                    {"Side B.tap"}},
        // Not named like a tape, and still the tape inside: what a file is goes by its bytes.
        ArchiveCase{"XzUnderAnotherName",
                    "xz -c 'Side B.tap' > ../download",
                    "download",
                    {"download"},
                    "Side B.tap"}),
    [](const auto& tested) { return std::string(tested.param.name); });

struct BadArchive {
    const char* name;
    const char* command;  // run in the tapes' folder, makes ../bad.zip
    const char* words;    // what the failure must say, besides the archive's path
};

void PrintTo(const BadArchive& bad, std::ostream* out) {
    *out << bad.name;
}

class BadArchives : public ::testing::TestWithParam<BadArchive> {};

// The failure of opening the archive's first tape, as the window opens it.
std::string OpenFailure(const std::string& path) {
    try {
        const TapeFileContents contents = FindTapes(path);
        if (contents.tapes.empty()) return "no tapes";
        const ArchiveTape& tape = contents.tapes.front();
        CatalogueTable catalogue;
        ScanTape(TapeLocation(path, tape.name, tape.index), true, catalogue);
        return "opened";
    } catch (const ArchiveError& failure) {
        return failure.what();
    }
}

TEST_P(BadArchives, FailInWordsNamingTheArchive) {
    const BadArchive& bad = GetParam();
    const std::string& folder_ = SourceFolder();
    const std::string path = folder_ + "/../bad.zip";
    std::filesystem::remove(path);
    RunCommand("cd '" + folder_ + "' && " + bad.command);
    const std::string failure = OpenFailure(path);
    EXPECT_NE(failure.find(bad.words), std::string::npos) << failure;
    if (failure != "no tapes") {
        EXPECT_NE(failure.find(path), std::string::npos) << failure;
    }
}

INSTANTIATE_TEST_SUITE_P(
    RealArchivers, BadArchives,
    ::testing::Values(
        BadArchive{"NoTape", "zip -q ../bad.zip readme.txt", "no tapes"},
        BadArchive{"NestedArchiveIsNoTape", "zip -q ../bad.zip inner.zip readme.txt", "no tapes"},
        // Packed, an archive of nothing is an archive all the same.
        BadArchive{"EmptyTarGz", "tar -czf ../bad.zip --files-from /dev/null", "no tapes"},
        BadArchive{
            "CutShort",
            "rm -f ../x.zip && zip -q0 ../x.zip 'Side B.tap' && head -c 60 ../x.zip > ../bad.zip",
            "is damaged"},
        // A stored entry with one data byte changed fails its CRC.
        BadArchive{"WrongChecksum",
                   "zip -q0 ../bad.zip 'Side B.tap' && printf '\\377' | "
                   "dd of=../bad.zip bs=1 seek=90 conv=notrunc status=none",
                   "is damaged"},
        BadArchive{"Encrypted", "zip -q -P secret ../bad.zip 'Side B.tap'", "is encrypted"},
        BadArchive{"UnsupportedMethod",
                   "7z a -bd -bso0 -tzip -mm=Deflate64 ../bad.zip sub/LOADING.TAP", "cannot read"},
        BadArchive{"EntryPastTheCap",
                   "head -c 67108865 /dev/zero > ../big.tap && zip -qj ../bad.zip ../big.tap",
                   "more than 64 MiB"},
        // Walked past on the way to the tape, a streamed entry unpacks all the same.
        BadArchive{"StreamPastTheCap",
                   "head -c 320000000 /dev/zero > ../big.bin && "
                   "tar -czf ../bad.zip -C .. big.bin 'src/Side B.tap'",
                   "more than 256 MiB"}),
    [](const auto& tested) { return std::string(tested.param.name); });

// A listing reads the archive again: what it holds now, or the failure of a bare tape.
TEST(ArchivedTapeChangedAfterScan, ReadsAsTheArchiveIsNow) {
    const std::string& folder = SourceFolder();
    const std::string zip = folder + "/../changed.zip";
    RunCommand("cd '" + folder + "' && zip -q ../changed.zip 'Side B.tap'");
    const ArchiveTape tape = FindTapes(zip).tapes.at(0);
    const TapeLocation location(zip, tape.name, tape.index);
    CatalogueTable catalogue;
    ASSERT_EQ(ScanTape(location, true, catalogue), ScanResult::Completed);
    const CatalogueRow program = catalogue.Row(1);
    Lines lines;
    ASSERT_NO_THROW(ListBasicProgram(brisalto::ReadTapeDocument(location), program.Position,
                                     *program.Par1, lines));

    // The same name, now a tape too short for the program.
    RunCommand("cd '" + folder +
               "' && head -c 30 'Side B.tap' > ../short/'Side B.tap' && "
               "rm ../changed.zip && cd ../short && zip -q ../changed.zip 'Side B.tap'");
    try {
        ListBasicProgram(brisalto::ReadTapeDocument(location), program.Position, *program.Par1,
                         lines);
        ADD_FAILURE() << "listed a program no longer there";
    } catch (const InOutError& failure) {
        EXPECT_STREQ(failure.what(), "Read beyond end of file");
    }
    std::filesystem::remove(zip);
    try {
        ListBasicProgram(brisalto::ReadTapeDocument(location), program.Position, *program.Par1,
                         lines);
        ADD_FAILURE() << "listed a program from a deleted archive";
    } catch (const InOutError& failure) {
        EXPECT_STREQ(failure.what(), "File not found");
    }
}

}  // namespace
}  // namespace brisalto
