// SPDX-License-Identifier: GPL-3.0-or-later
// A listed line's colours: the codes the decoder finds in a program's lines, and the runs of
// ink and paper they give.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "ColourRuns.h"
#include "DecodeBasicProgram.h"
#include "LineSink.h"

namespace brisalto {
namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::uint8_t kInk = 0x10, kPaper = 0x11, kFlash = 0x12, kBright = 0x13,
                       kInverse = 0x14, kOver = 0x15;

// A program block (flag first) of lines numbered from 10, each text ended by ENTER.
Bytes Program(const std::vector<Bytes>& texts) {
    Bytes block = {0xFF};
    std::uint16_t number = 10;
    for (Bytes text : texts) {
        text.push_back(0x0D);
        block.insert(block.end(), {static_cast<std::uint8_t>(number >> 8),
                                   static_cast<std::uint8_t>(number),
                                   static_cast<std::uint8_t>(text.size()),
                                   static_cast<std::uint8_t>(text.size() >> 8)});
        block.insert(block.end(), text.begin(), text.end());
        number = static_cast<std::uint16_t>(number + 10);
    }
    return block;
}

// Each line's runs, decoded from the program.
std::vector<std::vector<ColouredRun>> RunsOf(const Bytes& program) {
    LineVector lines;
    std::vector<HiddenNumber> hidden;
    std::vector<ColourCode> codes;
    DecodeBasicProgram(program, static_cast<std::uint16_t>(program.size()), lines, hidden, codes);
    std::vector<std::vector<ColouredRun>> runs;
    for (std::size_t line = 0; line < lines.lines.size(); ++line) {
        std::vector<ColourCode> own;
        for (const ColourCode& code : codes)
            if (code.line == line) own.push_back(code);
        runs.push_back(ColourRuns(lines.lines[line].size(), own));
    }
    return runs;
}

TEST(ColourRuns, CodesColourTheRestOfTheirLineOnly) {
    // "  10 " is five characters: a code at the text's start colours from column 5.
    const struct {
        const char* what;
        std::vector<Bytes> lines;
        std::vector<std::vector<ColouredRun>> runs;
    } cases[] = {
        {"no codes", {{'A', 'B'}}, {{}}},
        {"INK 2 after A", {{'A', kInk, 2, 'B', 'C'}}, {{{6, 8, 2, 7, false}}}},
        {"the next line starts afresh", {{kInk, 2, 'B'}, {'C'}}, {{{5, 6, 2, 7, false}}, {}}},
        {"PAPER 1 then INK 9 contrasts",
         {{kPaper, 1, 'A', kInk, 9, 'B'}},
         {{{5, 6, 0, 1, false}, {6, 7, 7, 1, false}}}},
        {"BRIGHT 1 brightens both", {{kInk, 2, kBright, 1, 'A'}}, {{{5, 6, 10, 15, false}}}},
        {"INVERSE 1 swaps them", {{kInk, 2, kInverse, 1, 'A'}}, {{{5, 6, 7, 2, false}}}},
        {"FLASH 1, then FLASH 0",
         {{kFlash, 1, 'A', kFlash, 0, 'B'}},
         {{{5, 6, 0, 7, true}, {6, 7, 0, 7, false}}}},
        {"8 keeps; a value the ROM refuses and OVER change nothing",
         {{kInk, 3, 'A', kInk, 8, kBright, 8, kPaper, 12, kOver, 1, 'B'}},
         {{{5, 6, 3, 7, false}, {6, 7, 3, 7, false}}}},
        {"a code with no value byte before ENTER colours nothing", {{'A', kInk}}, {{}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(RunsOf(Program(c.lines)), c.runs);
    }
}

}  // namespace
}  // namespace brisalto
