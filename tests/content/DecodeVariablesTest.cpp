// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "DecodeArray.h"
#include "DecodeVariables.h"
#include "VariablesText.h"

namespace brisalto {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Join(std::initializer_list<Bytes> parts) {
    Bytes joined;
    for (const Bytes& part : parts) joined.insert(joined.end(), part.begin(), part.end());
    return joined;
}

// Five-byte numbers as the ROM stores them.
const Bytes kFive = {0x00, 0x00, 0x05, 0x00, 0x00};
const Bytes kMinusTwo = {0x00, 0xFF, 0xFE, 0xFF, 0x00};
const Bytes kOneAndHalf = {0x81, 0x40, 0x00, 0x00, 0x00};
const Bytes kTenth = {0x7D, 0x4C, 0xCC, 0xCC, 0xCD};
const Bytes kBig = {0x9B, 0x6B, 0x79, 0xA2, 0xA0};    // 123456789
const Bytes kSmall = {0x60, 0xA4, 0xED, 0x3F, 0x1B};  // -1.5E-10
const Bytes kIrregular = {0x00, 0x01, 0x05, 0x00, 0x00};

struct AreaCase {
    const char* what;
    Bytes bytes;
    std::vector<std::string> lines;
};

TEST(DecodeVariables, EveryKindAsThePrintShowsIt) {
    const std::vector<AreaCase> cases = {
        {"one-letter number", Join({{0x61}, kFive}), {"a = 5"}},
        {"negative small integer", Join({{0x7A}, kMinusTwo}), {"z = -2"}},
        {"long name", Join({{0xB3, 'c', 'o', 'r', 'e' | 0x80}, kOneAndHalf}), {"score = 1.5"}},
        {"long name with a digit", Join({{0xA1, '1' | 0x80}, kTenth}), {"a1 = 0.1"}},
        {"large and very small",
         Join({{0x62}, kBig, {0x63}, kSmall}),
         {"b = 1.2345679E+8", "c = -1.5E-10"}},
        {"string", {0x41, 0x03, 0x00, 'H', 'I', 0x60}, {"a$ = \"HI£\""}},
        {"empty string", {0x5A, 0x00, 0x00}, {"z$ = \"\""}},
        {"number array",
         Join({{0x82, 13, 0, 1, 2, 0}, kFive, kMinusTwo}),
         {"DIM b(2)", "  b(1) = 5", "  b(2) = -2"}},
        {"two-dimensional number array",
         Join({{0x82, 25, 0, 2, 2, 0, 2, 0}, kFive, kMinusTwo, kTenth, kFive}),
         {"DIM b(2,2)", "  b(1,1) = 5", "  b(1,2) = -2", "  b(2,1) = 0.1", "  b(2,2) = 5"}},
        {"character array",
         {0xC3, 11, 0, 2, 2, 0, 3, 0, 'A', 'B', 'C', 'D', 'E', 0x7F},
         {"DIM c$(2,3)", "  c$(1) = \"ABC\"", "  c$(2) = \"DE©\""}},
        {"one-dimensional character array",
         {0xC3, 5, 0, 1, 2, 0, 'O', 'K'},
         {"DIM c$(2)", "  c$ = \"OK\""}},
        {"FOR loop",
         Join({{0xE9}, kFive, {0x00, 0x00, 0x0A, 0x00, 0x00}, kOneAndHalf, {20, 0, 2}}),
         {"FOR i = 5 TO 10 STEP 1.5, back to line 20 statement 2"}},
        {"end mark",
         Join({{0x61}, kFive, {0x80, 0xFF, 0xFF}}),
         {"a = 5", "End of the variables (0x80 mark)",
          "2 more bytes after the mark, which are no variables"}},
        {"only the end mark", {0x80}, {"End of the variables (0x80 mark)"}},
        {"nothing", {}, {"No variables"}},
    };
    for (const AreaCase& c : cases) {
        EXPECT_EQ(VariablesLines(DecodeVariables(c.bytes)), c.lines) << c.what;
    }
}

struct BadCase {
    const char* what;
    Bytes bytes;
    std::size_t stop;  // the offset of the first byte that is no variable
};

// What follows the last good variable is not shown as a variable.
TEST(DecodeVariables, StopsAtTheFirstByteThatIsNoVariable) {
    const std::vector<BadCase> cases = {
        {"unknown type bits", Join({{0x61}, kFive, {0x21, 0, 0}}), 6},
        {"no letter", {0x60, 0, 0, 0, 0, 0}, 0},
        {"letter past z", {0x7B, 0, 0, 0, 0, 0}, 0},
        {"number cut", {0x61, 0, 0}, 0},
        {"number in neither form", Join({{0x61}, kIrregular}), 0},
        {"string length past the end", {0x41, 0x05, 0x00, 'A'}, 0},
        {"string length byte cut", {0x41, 0x05}, 0},
        {"array length past the end", {0x82, 13, 0, 1, 2, 0, 0}, 0},
        {"array no dimensions", {0x82, 1, 0, 0}, 0},
        {"array dimension 0", {0x82, 3, 0, 1, 0, 0}, 0},
        {"array dimensions overflow", {0x82, 5, 0, 2, 0xFF, 0xFF, 0xFF, 0xFF}, 0},
        {"array elements short of its length", Join({{0x82, 14, 0, 1, 2, 0}, kFive, kFive, {0}}),
         0},
        {"array with a number in neither form", Join({{0x82, 8, 0, 1, 1, 0}, kIrregular}), 0},
        {"character array dimensions past its length", {0xC1, 3, 0, 2, 1, 0}, 0},
        {"FOR loop cut", Join({{0xE9}, kFive, kFive, kFive, {20, 0}}), 0},
        {"long name runs to the end", {0xB3, 'c', 'o'}, 0},
        {"long name with a space", Join({{0xB3, ' ', 'o' | 0x80}, kFive}), 0},
    };
    for (const BadCase& c : cases) {
        const VariablesArea area = DecodeVariables(c.bytes);
        EXPECT_EQ(area.notVariablesFrom, std::optional<std::size_t>(c.stop)) << c.what;
        EXPECT_EQ(area.variables.size(), c.stop == 0 ? 0u : 1u) << c.what;
    }
    EXPECT_EQ(VariablesLines(DecodeVariables(Bytes{0x21})).back(),
              "Offset 0 (0x0000): not a variables area from here on");
}

TEST(DecodeArrayBlock, NamedByTheHeaderWithEveryElement) {
    const Bytes numbers = Join({{2, 1, 0, 2, 0}, kTenth, kMinusTwo});
    const auto array = DecodeArrayBlock(numbers, false, 0x81);
    ASSERT_TRUE(array);
    EXPECT_EQ(ArrayHeading(*array), "a(1,2)");
    EXPECT_EQ(ArrayLines(*array), (std::vector<std::string>{"a(1,1) = 0.1", "a(1,2) = -2"}));

    const Bytes characters = {1, 3, 0, 'Y', 'E', 'S'};
    const auto text = DecodeArrayBlock(characters, true, 0xDA);
    ASSERT_TRUE(text);
    EXPECT_EQ(ArrayHeading(*text), "z$(3)");
    EXPECT_EQ(ArrayLines(*text), (std::vector<std::string>{"z$ = \"YES\""}));

    // An element in neither form is shown as such, never as a value.
    const auto unreadable = DecodeArrayBlock(Join({{1, 1, 0}, kIrregular}), false, 0x81);
    ASSERT_TRUE(unreadable);
    EXPECT_EQ(unreadable->unreadable, 1u);
    EXPECT_EQ(ArrayLines(*unreadable), (std::vector<std::string>{"a(1) = ? (00 01 05 00 00)"}));

    // A name byte with no letter, dimensions past the block, a block with more than its elements.
    EXPECT_FALSE(DecodeArrayBlock(characters, true, 0xC0));
    EXPECT_FALSE(DecodeArrayBlock(Bytes{1, 4, 0, 'Y', 'E', 'S'}, true, 0xC1));
    EXPECT_FALSE(DecodeArrayBlock(Bytes{1, 2, 0, 'Y', 'E', 'S'}, true, 0xC1));
    EXPECT_FALSE(DecodeArrayBlock(Bytes{3, 1, 0}, true, 0xC1));
    EXPECT_FALSE(DecodeArrayBlock(Bytes{}, false, 0x81));
}

}  // namespace
}  // namespace brisalto
