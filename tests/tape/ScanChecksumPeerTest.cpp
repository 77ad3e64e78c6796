// SPDX-License-Identifier: GPL-3.0-or-later
// Tapes made by zmakebas always carry good checksums (blocks with a flipped byte are in
// ScanChecksumTest). A missing zmakebas fails this test: the test command installs it.
#include <gtest/gtest.h>

#include <string>

#include "CatalogueTable.h"
#include "RunCommand.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto {
namespace {

using testing::TempTape;

TEST(ScanChecksumPeer, ZmakebasTapesAreGood) {
    std::string longText;  // about 40 KB, as much as zmakebas makes
    for (int i = 1; i <= 600; ++i)
        longText += std::to_string(i) + " REM " + std::string(60, 'x') + "\n";
    for (const std::string& text : {std::string("10 PRINT \"HELLO\"\n20 GOTO 10\n"), longText}) {
        const TempTape source(testing::Bytes(text.begin(), text.end()), "program.bas");
        const std::string path = source.Folder() + "/program.tap";
        testing::RunCommand("zmakebas -a 10 -o '" + path + "' '" + source.Path() + "'");
        CatalogueTable catalogue;
        ASSERT_EQ(ScanTape(path, true, catalogue), ScanResult::Completed);
        ASSERT_EQ(catalogue.RowCount(), 2u);
        for (std::size_t row = 0; row < 2; ++row) {
            ASSERT_TRUE(catalogue.Row(row).Checksum.has_value());
            EXPECT_TRUE(catalogue.Row(row).Checksum->Good()) << text.size() << " row " << row;
        }
    }
}

}  // namespace
}  // namespace brisalto
