// Tapes made by zmakebas always carry good checksums; with one byte flipped, exactly the block
// that holds it is wrong. A missing zmakebas fails this test: the test command installs it.
#include <gtest/gtest.h>

#include <string>

#include "CatalogueTable.h"
#include "ScanTape.h"
#include "TapeBuilder.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::TempTape;

Bytes ZmakebasTape(const std::string& options, const std::string& text) {
    const TempTape source(Bytes(text.begin(), text.end()), "program.bas");
    const std::string tape = source.Folder() + "/program.tap";
    testing::RunCommand("zmakebas -o '" + tape + "' " + options + " '" + source.Path() + "'");
    return testing::ReadWholeFile(tape);
}

TEST(ScanChecksumPeer, ZmakebasTapesAreGoodAndAFlippedByteIsWrong) {
    std::string longText;
    for (int i = 1; i <= 600; ++i)
        longText += std::to_string(i) + " REM " + std::string(60, 'x') + "\n";
    const std::string kinds[][2] = {
        {"-n hello -a 10", "10 PRINT \"HELLO\"\n20 GOTO 10\n"},
        {"-n long", longText},  // about 40 KB, as much as zmakebas makes
    };
    for (const auto& [options, text] : kinds) {
        SCOPED_TRACE(options);
        const Bytes contents = ZmakebasTape(options, text);
        ASSERT_GT(contents.size(), 23u);
        {
            const TempTape tape(contents);
            CatalogueTable catalogue;
            ASSERT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
            ASSERT_EQ(catalogue.RowCount(), 2u);
            for (std::size_t row = 0; row < 2; ++row) {
                ASSERT_TRUE(catalogue.Row(row).Checksum.has_value());
                EXPECT_TRUE(catalogue.Row(row).Checksum->Good()) << row;
            }
        }
        // Header body: bytes 2..20; data body from 23 on (flags left alone).
        for (const std::size_t at : {std::size_t{5}, std::size_t{20}, std::size_t{30},
                                     contents.size() / 2, contents.size() - 1}) {
            SCOPED_TRACE(at);
            Bytes bad = contents;
            bad[at] ^= 0x01;
            const TempTape tape(bad);
            CatalogueTable catalogue;
            ASSERT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
            ASSERT_EQ(catalogue.RowCount(), 2u);
            const std::size_t wrongRow = at <= 20 ? 0 : 1;
            EXPECT_FALSE(catalogue.Row(wrongRow).Checksum->Good());
            EXPECT_TRUE(catalogue.Row(1 - wrongRow).Checksum->Good());
        }
    }
}

}  // namespace
}  // namespace brisalto
