// SPDX-License-Identifier: GPL-3.0-or-later
// Hidden numbers on programs zmakebas builds: none where it stored what the digits say, and
// exactly the ones edited afterwards to hide another value.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BasicProgramGenerator.h"
#include "DecodeBasicProgram.h"
#include "LineSink.h"
#include "RunCommand.h"
#include "TempTape.h"

namespace brisalto {
namespace {

using testing::BasicProgramGenerator;
using testing::Bytes;
using testing::RunCommand;
using testing::TempTape;

// The program's data block (flag to checksum) of the tape zmakebas makes from source.
Bytes ZmakebasProgram(const std::string& source) {
    const TempTape basic(Bytes(source.begin(), source.end()), "program.bas");
    const std::string tape = basic.Folder() + "/program.tap";
    RunCommand("zmakebas -o '" + tape + "' '" + basic.Path() + "' 2>&1 </dev/null");
    const Bytes bytes = testing::ReadWholeFile(tape);
    // A 19-byte header block (2 length bytes first), then the data block's length and body.
    if (bytes.size() < 21 + 2) return {};
    return Bytes(bytes.begin() + 23, bytes.end());
}

std::vector<HiddenNumber> Hidden(const Bytes& block) {
    LineVector lines;
    std::vector<HiddenNumber> hidden;
    DecodeBasicProgram(block, std::uint16_t(block.size() - 1), lines, hidden);
    return hidden;
}

TEST(HiddenNumbersPeer, ZmakebasStoresWhatTheDigitsSay) {
    BasicProgramGenerator generator(20261209);
    for (int n = 0; n < 40; ++n) {
        const std::string source = generator.Program();
        const Bytes block = ZmakebasProgram(source);
        ASSERT_FALSE(block.empty()) << source;
        const std::vector<HiddenNumber> hidden = Hidden(block);
        EXPECT_TRUE(hidden.empty())
            << source << "\nfirst: " << hidden.front().digits << " is " << hidden.front().value;
    }
}

TEST(HiddenNumbersPeer, EditedTapeShowsTheValueTheComputerUses) {
    Bytes block =
        ZmakebasProgram("10 PRINT 10: GO TO 20\n20 LET a=BIN 101+1.5E-3: RANDOMIZE USR 23760\n");
    ASSERT_FALSE(block.empty());
    EXPECT_TRUE(Hidden(block).empty());

    // The second and third numbers (20 and BIN 101) made to hide 7 and -1.
    std::vector<std::size_t> markers;
    for (std::size_t i = 0; i < block.size(); ++i) {
        if (block[i] == 0x0E) {
            markers.push_back(i);
            i += 5;
        }
    }
    ASSERT_EQ(markers.size(), 5u);
    const Bytes seven = {0, 0, 7, 0, 0};
    const Bytes minusOne = {0, 0xFF, 0xFF, 0xFF, 0};
    std::copy(seven.begin(), seven.end(), block.begin() + std::ptrdiff_t(markers[1] + 1));
    std::copy(minusOne.begin(), minusOne.end(), block.begin() + std::ptrdiff_t(markers[2] + 1));
    const std::vector<HiddenNumber> hidden = Hidden(block);
    ASSERT_EQ(hidden.size(), 2u);
    EXPECT_EQ(hidden[0].line, 0u);
    EXPECT_EQ(hidden[0].digits, "20");
    EXPECT_EQ(hidden[0].value, "7");
    EXPECT_EQ(hidden[1].line, 1u);
    EXPECT_EQ(hidden[1].digits, "101");
    EXPECT_EQ(hidden[1].value, "-1");
}

}  // namespace
}  // namespace brisalto
