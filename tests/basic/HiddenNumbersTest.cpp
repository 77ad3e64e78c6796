// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BasicProgramBytes.h"
#include "DecodeBasicProgram.h"
#include "LineSink.h"
#include "RunCommand.h"
#include "TempTape.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::StoredLine;
using testing::Text;

constexpr std::uint8_t kMarker = 0x0E;
constexpr std::uint8_t kPrint = 0xF5;
constexpr std::uint8_t kBin = 0xC4;
constexpr std::uint8_t kDefFn = 0xCE;

// A program's block bytes (flag first) and the hidden numbers decoding finds in them.
std::vector<HiddenNumber> Hidden(const Bytes& program) {
    Bytes block = {0xFF};
    block.insert(block.end(), program.begin(), program.end());
    LineVector lines;
    std::vector<HiddenNumber> hidden;
    DecodeBasicProgram(block, std::uint16_t(block.size()), lines, hidden);
    return hidden;
}

// PRINT (or lead), the literal, the marker and the five bytes.
Bytes PrintLine(const std::string& literal, const Bytes& five, bool binary = false,
                const Bytes& lead = {kPrint}) {
    Bytes text = lead;
    if (binary) text.push_back(kBin);
    const Bytes digits = Text(literal);
    text.insert(text.end(), digits.begin(), digits.end());
    text.push_back(kMarker);
    text.insert(text.end(), five.begin(), five.end());
    return StoredLine(10, text);
}

struct HiddenCase {
    const char* literal;
    Bytes five;
    bool binary;
    std::string value;    // empty: not marked
    Bytes lead = {kPrint};  // the line's bytes before the literal
};

// DEF FN f(x, and the five-byte slot DEF FN keeps after a parameter's name.
const Bytes kDefFnX = {kDefFn, 'f', '(', 'x'};
const Bytes kSlot = {kMarker, 0, 0, 0x6B, 0x02, 0};

TEST(HiddenNumbers, MarkedWhenTheValueIsNotTheDigits) {
    const std::vector<HiddenCase> cases = {
        {"10", {0, 0, 10, 0, 0}, false, ""},
        {"10", {0, 0, 42, 0, 0}, false, "42"},
        {"0", {0, 0xFF, 0xFF, 0xFF, 0}, false, "-1"},
        {".5", {0x80, 0x00, 0, 0, 0}, false, ""},
        {"0.1", {0x7D, 0x4C, 0xCC, 0xCC, 0xCD}, false, ""},
        {"0.1", {0x7D, 0x4C, 0xCC, 0xCC, 0xCC}, false, ""},  // differs past the ninth digit
        {"1.5E-3", {0x77, 0x44, 0x9B, 0xA5, 0xE3}, false, ""},
        {"1e3", {0, 0, 0xE8, 0x03, 0}, false, ""},
        {"1e3", {0, 0, 0xE9, 0x03, 0}, false, "1001"},
        {"101", {0, 0, 5, 0, 0}, true, ""},
        {"101", {0, 0, 101, 0, 0}, true, "101"},
        {"", {0, 0, 7, 0, 0}, false, "7"},                    // no digits at all
        {"3", {0, 1, 3, 0, 0}, false, "? (00 01 03 00 00)"},  // in neither form
        {"28763 ", {0, 0, 0x5B, 0x70, 0}, false, ""},         // a space before the marker
        // The slots after DEF FN's parameters x and y hold 619: they are no numbers.
        {"", {0, 0, 0x6B, 0x02, 0}, false, "", testing::Concat({kDefFnX, kSlot, Text(",y")})},
        // The function's own numbers are.
        {"2", {0, 0, 3, 0, 0}, false, "3", testing::Concat({kDefFnX, kSlot, Text(")=x*")})},
    };
    for (const HiddenCase& c : cases) {
        const std::vector<HiddenNumber> hidden =
            Hidden(PrintLine(c.literal, c.five, c.binary, c.lead));
        if (c.value.empty()) {
            EXPECT_TRUE(hidden.empty()) << c.literal;
            continue;
        }
        ASSERT_EQ(hidden.size(), 1u) << c.literal;
        EXPECT_EQ(hidden[0].digits, c.literal);
        EXPECT_EQ(hidden[0].value, c.value);
        EXPECT_EQ(hidden[0].line, 0u);
    }
}

TEST(HiddenNumbers, ColumnIsAfterTheDigitsInTheListedLine) {
    const Bytes program =
        testing::Concat({StoredLine(5, Text("REM")), PrintLine("99", {0, 0, 1, 0, 0})});
    const std::vector<HiddenNumber> hidden = Hidden(program);
    ASSERT_EQ(hidden.size(), 1u);
    EXPECT_EQ(hidden[0].line, 1u);
    // "  10  PRINT 99": the digits end the line's text.
    EXPECT_EQ(hidden[0].column, std::string("  10  PRINT 99").size());
}

// Five bytes the line cuts are not read, and nothing is marked for them.
TEST(HiddenNumbers, MarkerWhoseBytesTheLineCutsIsLeftAlone) {
    EXPECT_TRUE(Hidden(StoredLine(10, {kPrint, '1', kMarker, 0, 0})).empty());
}

}  // namespace
}  // namespace brisalto
