// SPDX-License-Identifier: GPL-3.0-or-later
// Archives made by zip and gzip, kept with the tests so that every build reads them, Windows
// included: the tape inside reads exactly as the bare tape it was made from.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "CatalogueTable.h"
#include "RowText.h"
#include "ScanTape.h"
#include "TapeArchive.h"
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
