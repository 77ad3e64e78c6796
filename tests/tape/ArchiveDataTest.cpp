// SPDX-License-Identifier: GPL-3.0-or-later
// Archives made by zip and gzip, kept with the tests so that every build reads them, Windows
// included: the tape inside reads exactly as the bare tape it was made from.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "CatalogueTable.h"
#include "InOutError.h"
#include "ReadScreen.h"
#include "RowText.h"
#include "ScanTape.h"
#include "TapeArchive.h"
#include "TapeDocument.h"
#include "TempTape.h"

namespace brisalto {
namespace {

using testing::RowTexts;

struct KeptArchive {
    const char* name;
    const char* file;  // in the tests' data folder
    const char* tape;  // the one tape entry it holds
};

class KeptArchives : public ::testing::TestWithParam<KeptArchive> {};

TEST_P(KeptArchives, HoldOneTapeThatReadsAsTheBareTape) {
    const std::string path = std::string(BRISALTO_TEST_DATA "/") + GetParam().file;
    const TapeFileContents contents = FindTapes(path);
    ASSERT_TRUE(contents.archive);
    ASSERT_EQ(contents.tapes.size(), 1u);  // the macOS companion is no tape
    EXPECT_EQ(contents.tapes[0].name, GetParam().tape);
    CatalogueTable fromArchive, bare;
    EXPECT_EQ(ScanTape(TapeLocation(path, contents.tapes[0].name, contents.tapes[0].index), true,
                       fromArchive),
              ScanResult::Completed);
    ASSERT_EQ(ScanTape(std::string(BRISALTO_TEST_DATA "/loading.tap"), true, bare),
              ScanResult::Completed);
    EXPECT_EQ(RowTexts(fromArchive), RowTexts(bare));
}

INSTANTIATE_TEST_SUITE_P(ZipAndGzip, KeptArchives,
                         ::testing::Values(KeptArchive{"Zip", "loading.zip", "Loading.TAP"},
                                           KeptArchive{"Gzip", "loading.tap.gz", "loading.tap"}),
                         [](const auto& tested) { return std::string(tested.param.name); });

// Opening the tape of a zip, reading its screen again and then its rows again: the archive is
// walked once, and again only once it has changed (a deleted one then fails as a tape would).
TEST(KeptEntry, OneArchiveWalkPerOpenUntilTheArchiveChanges) {
    const testing::TempTape zip(testing::ReadWholeFile(BRISALTO_TEST_DATA "/loading.zip"),
                                "loading.zip");
    const std::uint64_t before = ArchiveWalks();
    const TapeFileContents contents = FindTapes(zip.Path());
    ASSERT_EQ(contents.tapes.size(), 1u);
    const TapeLocation tape(zip.Path(), contents.tapes[0].name, contents.tapes[0].index);
    CatalogueTable catalogue;
    ASSERT_EQ(ScanTape(tape, true, catalogue), ScanResult::Completed);
    const CatalogueRow& screen = catalogue.Row(catalogue.RowCount() - 1);
    ASSERT_EQ(screen.Length, kScreenBytes + 2);
    ScreenPixels pixels;
    EXPECT_TRUE(
        ReadScreen(brisalto::ReadTapeDocument(tape), screen.Position, *screen.Checksum, pixels));
    EXPECT_EQ(ArchiveWalks() - before, 1u);

    std::filesystem::last_write_time(
        zip.Path(), std::filesystem::last_write_time(zip.Path()) + std::chrono::seconds(2));
    CatalogueTable again;
    ASSERT_EQ(ScanTape(tape, true, again), ScanResult::Completed);
    EXPECT_EQ(RowTexts(again), RowTexts(catalogue));
    EXPECT_EQ(ArchiveWalks() - before, 2u);

    std::filesystem::remove(zip.Path());
    EXPECT_THROW(ScanTape(tape, true, again), InOutError);
}

// Tar takes 512 zero bytes, its end mark, for an archive of nothing; a tape of blocks of no
// bytes is read as the tape it also is.
// Past 256 MiB too, which only an unpacked stream may not reach: the file itself is no bomb.
TEST(TapeOrArchive, AFileOfZerosIsATape) {
    for (const std::uintmax_t size : {std::uintmax_t{4096}, std::uintmax_t{300} << 20}) {
        const testing::TempTape zeros({});
        std::filesystem::resize_file(zeros.Path(), size);  // sparse where the system can
        EXPECT_FALSE(FindTapes(zeros.Path()).archive) << size;
        CatalogueTable catalogue;
        EXPECT_EQ(ScanTape(zeros.Path(), true, catalogue),
                  size == 4096 ? ScanResult::Completed : ScanResult::Damaged);
        EXPECT_EQ(catalogue.RowCount(), std::min<std::uintmax_t>(size / 2, kMaxScanBlocks));
    }
}

}  // namespace
}  // namespace brisalto
