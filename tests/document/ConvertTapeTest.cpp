// SPDX-License-Identifier: GPL-3.0-or-later
// Converting a tape document to TAP and TZX: the bytes written, what a TAP leaves out and the
// whole blocks of a damaged tape, over crafted tapes.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ConvertTape.h"
#include "LeftOutText.h"
#include "TapeBuilder.h"
#include "TzxBuilder.h"

namespace brisalto::testing {
namespace {

TapeDocument Document(const Bytes& bytes) {
    return TapeDocumentFromBytes(TapeLocation{"crafted"},
                                 std::make_shared<const std::vector<std::uint8_t>>(bytes));
}

const Bytes kHeader = WithChecksum(
    {0x00, 0x03, 'c', 'o', 'd', 'e', ' ', ' ', ' ', ' ', ' ', ' ', 3, 0, 0, 0x80, 0, 0});
const Bytes kData = WithChecksum({0xFF, 1, 2, 3});
const Bytes kTurbo = WithChecksum({0xFF, 9, 8});
const Bytes kPure = WithChecksum({0x42, 7});
// One byte more than a TAP's length word can count.
const Bytes kTooLong(65536, 0x55);

// Every ID without a body once, a long pure data body, and the three bodies a TAP holds.
Bytes EveryKind() {
    TzxBuilder tzx;
    tzx.Body(kHeader).Body(kTurbo, 0x11);
    for (const std::uint8_t id : kTzxOtherIds) tzx.Other(id);
    tzx.Body(kTooLong, 0x14).Body(kPure, 0x14);
    return tzx.Get();
}

std::vector<LeftOutBlocks> EveryOtherKindOnce() {
    std::vector<LeftOutBlocks> kinds;
    for (const std::uint8_t id : kTzxOtherIds) {
        kinds.push_back({id, false, 1});
        if (id == 0x13) kinds.push_back({0x14, true, 1});  // by ID: after 0x13, before 0x15
    }
    return kinds;
}

const Bytes kTap = TapeBuilder().Block(kHeader).Block(kData).Block({}).Block(kPure).Get();
// Cut inside the last block's body.
const Bytes kCutTzx =
    TzxBuilder().Body(kHeader).Other(0x30).Raw({0x10, 0xE8, 0x03, 5, 0, 0xFF}).Get();
const Bytes kCutTap = TapeBuilder().Block(kHeader).Raw({5, 0, 0xFF, 1}).Get();

struct ConvertCase {
    const char* name;
    Bytes tape;
    TapeFormat format;
    Bytes expected;
    std::vector<LeftOutBlocks> leftOut;
    bool damaged;
};

void PrintTo(const ConvertCase& c, std::ostream* out) {
    *out << c.name;
}

class ConvertTapeTable : public ::testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertTapeTable, WritesTheBytesAndTellsWhatWasLeftOut) {
    const ConvertCase& c = GetParam();
    const ConvertedTape converted = ConvertTape(Document(c.tape), c.format);
    EXPECT_EQ(converted.bytes, c.expected);
    EXPECT_EQ(converted.leftOut, c.leftOut);
    EXPECT_EQ(converted.damaged, c.damaged);
}

INSTANTIATE_TEST_SUITE_P(
    Tapes, ConvertTapeTable,
    ::testing::Values(
        ConvertCase{"EveryKindToTap", EveryKind(), TapeFormat::Tap,
                    TapeBuilder().Block(kHeader).Block(kTurbo).Block(kPure).Get(),
                    EveryOtherKindOnce(), false},
        ConvertCase{"EveryKindToTzx", EveryKind(), TapeFormat::Tzx, EveryKind(), {}, false},
        ConvertCase{
            "TapToTzx", kTap, TapeFormat::Tzx, TzxBuilder(1, 20).FromTap(kTap).Get(), {}, false},
        ConvertCase{"TapToTap", kTap, TapeFormat::Tap, kTap, {}, false},
        ConvertCase{"CutTzxToTzx",
                    kCutTzx,
                    TapeFormat::Tzx,
                    TzxBuilder().Body(kHeader).Other(0x30).Get(),
                    {},
                    true},
        ConvertCase{"CutTzxToTap",
                    kCutTzx,
                    TapeFormat::Tap,
                    TapeBuilder().Block(kHeader).Get(),
                    {{0x30, false, 1}},
                    true},
        ConvertCase{
            "CutTapToTzx", kCutTap, TapeFormat::Tzx, TzxBuilder().Body(kHeader).Get(), {}, true},
        ConvertCase{
            "CutTapToTap", kCutTap, TapeFormat::Tap, TapeBuilder().Block(kHeader).Get(), {}, true}),
    [](const ::testing::TestParamInfo<ConvertCase>& row) { return std::string(row.param.name); });

TEST(ConvertTape, ATapThroughTzxComesBackTheSame) {
    const ConvertedTape tzx = ConvertTape(Document(kTap), TapeFormat::Tzx);
    EXPECT_EQ(ConvertTape(Document(tzx.bytes), TapeFormat::Tap).bytes, kTap);
}

struct WordingCase {
    std::vector<LeftOutBlocks> leftOut;
    std::string expected;
};

TEST(LeftOutText, NamesEachKindWithItsCount) {
    const std::vector<WordingCase> cases = {
        {{}, ""},
        {{{0x12, false, 3}, {0x13, false, 2}, {0x20, false, 5}, {0x30, false, 1}},
         "3 pure tones, 2 pulse sequences, 5 pauses, 1 text description"},
        {{{0x11, true, 1}, {0x14, true, 2}},
         "1 turbo speed data block longer than 65,535 bytes, "
         "2 pure data blocks longer than 65,535 bytes"},
        {{{0x18, false, 2}, {0x32, false, 2}, {0x40, false, 2}, {0x5A, false, 2}, {0x60, false, 1}},
         "2 CSW recordings, 2 archive information blocks, 2 snapshots (deprecated), 2 glue, "
         "1 unknown block"},
    };
    for (const WordingCase& c : cases) EXPECT_EQ(LeftOutText(c.leftOut), c.expected);
    EXPECT_EQ(LeftOutSentence(cases[1].leftOut),
              "Left out what a TAP file cannot hold: " + cases[1].expected);
}

}  // namespace
}  // namespace brisalto::testing
