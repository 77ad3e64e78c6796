// SPDX-License-Identifier: GPL-3.0-or-later
// The block kinds against blocks written by hand, field by field, as the TZX builder writes them.
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <span>
#include <vector>

#include "TapeDocument.h"
#include "TempTape.h"
#include "TzxBlockKinds.h"
#include "TzxBuilder.h"

namespace brisalto {
namespace {

using testing::Bytes;

// Each kind's fixed size, length field and unit account for every byte of a crafted block.
TEST(TzxBlockKinds, LayoutSpansEveryByteOfACraftedBlock) {
    std::vector<Bytes> blocks;
    for (const std::uint8_t id : testing::kTzxBodyIds)
        blocks.push_back(testing::TzxBodyBlock(testing::WithChecksum({0xFF, 1, 2, 3}), id));
    for (const std::uint8_t id : testing::kTzxOtherIds)
        blocks.push_back(testing::TzxOtherBlock(id));
    for (const Bytes& block : blocks) {
        const BlockKind& kind = KindOf(block[0]);
        SCOPED_TRACE(static_cast<int>(kind.id));
        EXPECT_EQ(kind.id, block[0]);
        ASSERT_GE(block.size(), 1u + kind.fixedSize);
        const auto fixed = std::span(block).subspan(1, kind.fixedSize);
        const auto count = static_cast<std::uint64_t>(FieldValue(fixed, kind.length));
        EXPECT_EQ(1 + kind.fixedSize + count * kind.unit, block.size());
        const bool carriesBody = block[0] == 0x10 || block[0] == 0x11 || block[0] == 0x14;
        EXPECT_EQ(kind.body, carriesBody);
    }
}

// A named field read from a crafted block through the reader gives what was written there.
TEST(TzxBlockKinds, NamedFieldsReadWhatWasWritten) {
    const Bytes body = testing::WithChecksum({0xFF, 1, 2, 3});
    const struct {
        Bytes block;
        const BlockField& field;
        std::int64_t value;
    } cases[] = {
        {testing::TzxBodyBlock(body, 0x10), tzx::standard::kPause, 1000},
        {testing::TzxBodyBlock(body, 0x10), tzx::standard::kLength, 5},
        {testing::TzxBodyBlock(body, 0x11), tzx::turbo::kPilotPulse, 2168},
        {testing::TzxBodyBlock(body, 0x11), tzx::turbo::kSync1Pulse, 667},
        {testing::TzxBodyBlock(body, 0x11), tzx::turbo::kSync2Pulse, 735},
        {testing::TzxBodyBlock(body, 0x11), tzx::turbo::kZeroPulse, 855},
        {testing::TzxBodyBlock(body, 0x11), tzx::turbo::kOnePulse, 1710},
        {testing::TzxBodyBlock(body, 0x11), tzx::turbo::kPilotPulses, 3223},
        {testing::TzxBodyBlock(body, 0x11), tzx::turbo::kUsedBits, 8},
        {testing::TzxBodyBlock(body, 0x11), tzx::turbo::kPause, 1000},
        {testing::TzxBodyBlock(body, 0x11), tzx::turbo::kLength, 5},
        {testing::TzxOtherBlock(0x12), tzx::tone::kPulse, 2168},
        {testing::TzxOtherBlock(0x12), tzx::tone::kPulses, 3},
        {testing::TzxOtherBlock(0x13), tzx::pulses::kCount, 2},
        {testing::TzxBodyBlock(body, 0x14), tzx::pure::kZeroPulse, 855},
        {testing::TzxBodyBlock(body, 0x14), tzx::pure::kOnePulse, 1710},
        {testing::TzxBodyBlock(body, 0x14), tzx::pure::kUsedBits, 8},
        {testing::TzxBodyBlock(body, 0x14), tzx::pure::kPause, 1000},
        {testing::TzxBodyBlock(body, 0x14), tzx::pure::kLength, 5},
        {testing::TzxOtherBlock(0x15), tzx::direct::kTStatesPerSample, 79},
        {testing::TzxOtherBlock(0x15), tzx::direct::kUsedBits, 8},
        {testing::TzxOtherBlock(0x15), tzx::direct::kLength, 3},
        {testing::TzxOtherBlock(0x20), tzx::pause::kPause, 1000},
        {testing::TzxOtherBlock(0x21), tzx::group::kNameLength, 5},
        {testing::TzxOtherBlock(0x23), tzx::jump::kJump, 2},
        {{0x23, 0xFE, 0xFF}, tzx::jump::kJump, -2},
        {{0x23, 0xFF, 0x7F}, tzx::jump::kJump, 32767},
        {{0x23, 0x00, 0x80}, tzx::jump::kJump, -32768},
        {testing::TzxOtherBlock(0x24), tzx::loop::kRepetitions, 3},
        {testing::TzxOtherBlock(0x26), tzx::call::kCount, 2},
        {testing::TzxOtherBlock(0x31), tzx::message::kSeconds, 5},
        {testing::TzxOtherBlock(0x31), tzx::message::kTextLength, 3},
        {testing::TzxOtherBlock(0x35), tzx::custom::kLength, 3},
        {testing::TzxOtherBlock(0x5A), tzx::glue::kMajor, 1},
        {testing::TzxOtherBlock(0x5A), tzx::glue::kMinor, 20},
        {testing::TzxOtherBlock(0x5A), tzx::glue::kSignature, 0},  // text: no number
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field.key) + " of block " + std::to_string(c.block[0]));
        const testing::TempTape tape(testing::TzxBuilder().Raw(c.block).Get(), "kind.tzx");
        const TapeDocument opened = ReadTapeDocument(tape.Path());
        ASSERT_EQ(opened.blocks.size(), 1u);
        EXPECT_EQ(opened.blocks[0].Field(c.field), c.value);
    }
    const testing::TempTape custom(testing::TzxBuilder().Other(0x35).Get(), "custom.tzx");
    const TapeBlock block = ReadTapeDocument(custom.Path()).blocks.at(0);
    const auto identification = FieldBytes(block.Fixed(), tzx::custom::kIdentification);
    EXPECT_EQ(std::string(identification.begin(), identification.end()), "POKEs           ");
}

// Reads and writes stop at the fixed fields' end: a field that does not fit reads as 0 and is
// not written, one that just fits is; a text is never a number.
TEST(TzxBlockKinds, FieldsOutsideTheFixedBytesReadZeroAndAreNotWritten) {
    const struct {
        std::size_t size;
        const BlockField& field;
        bool fits;
    } cases[] = {
        {2, tzx::standard::kPause, true},  {1, tzx::standard::kPause, false},
        {4, tzx::standard::kLength, true}, {3, tzx::standard::kLength, false},
        {18, tzx::turbo::kLength, true},   {17, tzx::turbo::kLength, false},
        {0, tzx::standard::kPause, false}, {20, tzx::custom::kIdentification, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.field.key) + " in " + std::to_string(c.size) + " bytes");
        std::vector<std::uint8_t> fixed(c.size, 0xAA);
        EXPECT_EQ(FieldValue(fixed, c.field) != 0, c.fits);
        EXPECT_EQ(PutField(fixed, c.field, 0), c.fits);
        if (!c.fits) {
            EXPECT_EQ(fixed, std::vector<std::uint8_t>(c.size, 0xAA));
        }
    }
}

// A standard speed block's head as a converter writes it: pause, then the body's length.
TEST(TzxBlockKinds, WritesAStandardSpeedHead) {
    std::array<std::uint8_t, 4> head{};
    ASSERT_EQ(head.size(), KindOf(tzx::kStandardSpeed).fixedSize);
    EXPECT_TRUE(PutField(head, tzx::standard::kPause, 1000));
    EXPECT_TRUE(PutField(head, tzx::standard::kLength, 19));
    EXPECT_EQ(head, (std::array<std::uint8_t, 4>{0xE8, 0x03, 19, 0}));
}

}  // namespace
}  // namespace brisalto
