// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "DisassembleZ80.h"

namespace brisalto {
namespace {

std::vector<std::string> Texts(const std::vector<std::uint8_t>& bytes, std::uint16_t address,
                               std::size_t from = 0) {
    std::vector<std::string> texts;
    for (const Z80Line& line : DisassembleZ80(bytes, address, from))
        texts.push_back(Z80LineText(line));
    return texts;
}

struct DisassemblyCase {
    std::vector<std::uint8_t> bytes;
    std::vector<std::string> lines;
};

TEST(DisassembleZ80, InstructionsWithAddressesAndBytes) {
    const std::vector<DisassemblyCase> cases = {
        {{0x3E, 0x05}, {"8000  3E 05        LD A,#05"}},
        {{0xDD, 0x7E, 0xFB}, {"8000  DD 7E FB     LD A,(IX-#05)"}},
        {{0xFD, 0x36, 0x80, 0x12}, {"8000  FD 36 80 12  LD (IY-#80),#12"}},
        {{0xDD, 0x7E, 0x7F}, {"8000  DD 7E 7F     LD A,(IX+#7F)"}},
        // DD CB forms are four bytes, undocumented ones too.
        {{0xDD, 0xCB, 0x05, 0x06, 0x00},
         {"8000  DD CB 05 06  RLC (IX+#05)", "8004  00           NOP"}},
        {{0xFD, 0xCB, 0xFE, 0x00, 0xC9},
         {"8000  FD CB FE 00  LD B,RLC (IY-#02)", "8004  C9           RET"}},
        {{0xCB, 0x30}, {"8000  CB 30        SLL B"}},
        {{0xED, 0x70}, {"8000  ED 70        IN F,(C)"}},
        {{0xDD, 0x26, 0x01}, {"8000  DD 26 01     LD IXH,#01"}},
        {{0x18, 0xFE}, {"8000  18 FE        JR #8000"}},
        {{0xCD, 0x34, 0x12}, {"8000  CD 34 12     CALL #1234"}},
    };
    for (const DisassemblyCase& c : cases) {
        EXPECT_EQ(Texts(c.bytes, 0x8000), c.lines) << c.lines.front();
    }
}

// The block ends inside the instruction: its bytes are shown, no instruction is named.
TEST(DisassembleZ80, CutInstructionKeepsItsBytesAndSaysSo) {
    const std::vector<DisassemblyCase> cases = {
        {{0x00, 0xCD, 0x34},
         {"8000  00           NOP", "8001  CD 34        (cut by the block's end)"}},
        {{0xDD}, {"8000  DD           (cut by the block's end)"}},
        {{0xED}, {"8000  ED           (cut by the block's end)"}},
        {{0xFD, 0xCB, 0x05}, {"8000  FD CB 05     (cut by the block's end)"}},
        {{0x3E}, {"8000  3E           (cut by the block's end)"}},
    };
    for (const DisassemblyCase& c : cases) {
        EXPECT_EQ(Texts(c.bytes, 0x8000), c.lines) << c.lines.back();
    }
}

TEST(DisassembleZ80, FromAnOffsetAndAcrossTheTopOfMemory) {
    EXPECT_EQ(Texts({0x00, 0x00, 0xC9}, 0x8000, 2),
              (std::vector<std::string>{"8002  C9           RET"}));
    EXPECT_EQ(Texts({0x00, 0x00, 0xC3, 0x00, 0x00}, 0xFFFF),
              (std::vector<std::string>{"FFFF  00           NOP", "0000  00           NOP",
                                        "0001  C3 00 00     JP #0000"}));
    EXPECT_TRUE(Texts({0x00}, 0, 5).empty());
}

}  // namespace
}  // namespace brisalto
