// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "TzxTexts.h"

namespace brisalto {
namespace {

using Bytes = std::vector<std::uint8_t>;

struct TextsCase {
    const char* name;
    std::uint8_t id;
    Bytes bytes;                      // the block after its ID
    std::vector<std::string> fields;  // "key=text", in order
    std::vector<std::string> descriptions;
};

// Archive information: length word, field count, then kind, length, text per field.
const TextsCase kCases[] = {
    {"TwoFields", 0x32, {9, 0, 2, 0x00, 2, 'H', 'i', 0xFF, 1, 'c'}, {"title=Hi", "comment=c"}, {}},
    {"LinesSplitAt0x0D", 0x32, {7, 0, 1, 0x02, 4, 'A', 0x0D, 0x0A, 'B'}, {"authors=A\nB"}, {}},
    {"FieldLengthPastTheEnd", 0x32, {6, 0, 1, 0x03, 9, '1', '9'}, {"year=19"}, {}},
    {"CountPastTheFields", 0x32, {5, 0, 3, 0x04, 1, 'E'}, {"language=E"}, {}},
    {"KindAloneAtTheEnd", 0x32, {4, 0, 2, 0x05, 0, 0x06}, {"type="}, {}},
    {"UnknownKindLeftOut", 0x32, {7, 0, 2, 0x42, 1, 'x', 0x08, 1, 'o'}, {"origin=o"}, {}},
    {"KindMetAgainLeftOut", 0x32, {8, 0, 2, 0x00, 1, 'a', 0x00, 1, 'b'}, {"title=a"}, {}},
    {"NoCount", 0x32, {0, 0}, {}, {}},
    {"Description", 0x30, {3, 'S', 'i', 'x'}, {}, {"Six"}},
    {"DescriptionPastTheEnd", 0x30, {200, 'A', 'B'}, {}, {"AB"}},
    {"EmptyDescriptionBlock", 0x30, {}, {}, {}},
    {"MessageNotADescription", 0x31, {5, 2, 'H', 'i'}, {}, {}},
};

class TzxTextsTable : public ::testing::TestWithParam<TextsCase> {};

TEST_P(TzxTextsTable, ReadsWhatLiesWithinTheBlock) {
    const TextsCase& c = GetParam();
    const TzxTexts texts = ReadTzxTexts({TzxTextBlock{c.id, 10, c.bytes}});
    std::vector<std::string> fields;
    for (const ArchiveField& field : texts.archive) {
        fields.push_back(std::string(field.key) + "=" + field.text);
    }
    EXPECT_EQ(fields, c.fields);
    EXPECT_EQ(texts.descriptions, c.descriptions);
}

INSTANTIATE_TEST_SUITE_P(Blocks, TzxTextsTable, ::testing::ValuesIn(kCases),
                         [](const auto& test) { return std::string(test.param.name); });

// Hardware information: count, then per entry the kind, the make's ID and what the tape does.
TEST(TzxTexts, NamesTheHardwareAndWhatTheTapeDoesWithIt) {
    const Bytes entries = {
        0x05, 0x00, 1,     // the first mouse
        0x00, 0x01, 0,     // a computer
        0x00, 0x2D, 3,     // the last computer
        0x04, 0x00, 2,     // a joystick
        0x05, 0x02, 3,     // one past the mice
        0x10, 0x03, 0,     // the last make of the last kind
        0x11, 0x00, 0,     // one past the kinds
        0x05, 0x01, 4,     // one past the information values
    };
    Bytes block = {static_cast<std::uint8_t>(entries.size() / 3)};
    block.insert(block.end(), entries.begin(), entries.end());
    const std::vector<std::string> want = {
        "AMX mouse (mouse): uses its special features",
        "ZX Spectrum 48k, Plus: runs on this machine",
        "ZX-97: does not run on this machine",
        "Kempston (joystick): runs but does not use its special features",
        "ID 2 (mouse): does not run with this device",
        "Lambda Colour (graphics): runs with this device",
        "ID 0 (hardware kind 17): runs with this device",
        "Kempston mouse (mouse): information byte 4",
    };
    EXPECT_EQ(ReadTzxTexts({TzxTextBlock{0x33, 10, block}}).hardware, want);
}

}  // namespace
}  // namespace brisalto
