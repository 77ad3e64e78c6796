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

}  // namespace
}  // namespace brisalto
