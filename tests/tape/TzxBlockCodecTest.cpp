// SPDX-License-Identifier: GPL-3.0-or-later
// Every block kind read into its fields and written back, against blocks the TZX builder writes
// by hand.
#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <span>
#include <string>
#include <variant>
#include <vector>

#include "TzxBlockCodec.h"
#include "TzxBuilder.h"

namespace brisalto {
namespace {

using testing::Bytes;
using tzx::TzxBlockFields;

struct KindRow {
    std::string name;
    Bytes block;
    bool opaque = false;  // kept as its bytes: a deprecated or unknown kind, or a malformed part
};

void PrintTo(const KindRow& row, std::ostream* out) {
    *out << row.name;
}

Bytes Counted(std::uint8_t id, std::size_t lengthBytes, const Bytes& contents) {
    Bytes block{id};
    for (std::size_t i = 0; i < lengthBytes; ++i)
        block.push_back(static_cast<std::uint8_t>(contents.size() >> (8 * i)));
    block.insert(block.end(), contents.begin(), contents.end());
    return block;
}

// A row's name by its ID in hex: "id19".
std::string IdName(std::uint8_t id) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return std::string("id") + kDigits[id >> 4] + kDigits[id & 0xF];
}

std::vector<KindRow> Rows() {
    std::vector<KindRow> rows;
    const Bytes body = testing::WithChecksum({0xFF, 1, 2, 3});
    for (const std::uint8_t id : testing::kTzxBodyIds)
        rows.push_back({IdName(id), testing::TzxBodyBlock(body, id)});
    for (const std::uint8_t id : testing::kTzxOtherIds) {
        const bool opaque = id == 0x16 || id == 0x17 || id == 0x34 || id == 0x40 || id == 0x60;
        rows.push_back({IdName(id), testing::TzxOtherBlock(id), opaque});
    }
    // A generalized data block with a pilot: two pilot symbols and their runs before the data.
    rows.push_back(
        {"generalizedWithPilot",
         Counted(
             0x19, 4,
             {0x00, 0x00, 2,    0,    0,    0, 2,    2,    16,   0,    0,    0,   2, 2,  // header
              0,    0x78, 0x08, 0,    0,    0, 0x9B, 0x02, 0xDF, 0x02,  // pilot symbols
              0,    100,  0,    1,    1,    0,                          // pilot runs
              0,    0x57, 0x03, 0x57, 0x03, 0, 0xAE, 0x06, 0xAE, 0x06, 0xA5, 0x5A})});
    // Parts that do not read as their kinds say stay as they were.
    rows.push_back({"archiveCountPastItsEntries", Counted(0x32, 2, {2, 0x00, 1, 'T'}), true});
    rows.push_back({"selectTextPastItsEnd", Counted(0x28, 2, {1, 0, 0, 9, 'x'}), true});
    rows.push_back({"generalizedStreamTooShort",
                    Counted(0x19, 4, {0, 0, 0, 0, 0, 0, 0, 0, 8, 0, 0, 0, 1, 2, 0, 1, 0, 0, 2, 0}),
                    true});
    rows.push_back({"signalLevelOfTwoBytes", Counted(0x2B, 4, {1, 0}), true});
    rows.push_back(
        {"glueOfAnotherSignature", {0x5A, 'Y', 'T', 'a', 'p', 'e', '!', 0x1A, 1, 20}, true});
    return rows;
}

class EveryKind : public ::testing::TestWithParam<KindRow> {};

// Read and written again, a block gives the bytes it was read from, as its kind's struct unless
// its part does not read; one byte short it is not read; a byte after it is not taken.
TEST_P(EveryKind, ReadThenWrittenGivesTheSameBytes) {
    const KindRow& row = GetParam();
    const auto read = tzx::ReadTzxBlock(row.block);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->size, row.block.size());
    EXPECT_EQ(std::holds_alternative<tzx::OpaqueBlock>(read->fields), row.opaque);
    EXPECT_EQ(tzx::IdOf(read->fields), row.block[0]);
    EXPECT_EQ(tzx::BytesOf(read->fields), row.block);

    EXPECT_FALSE(tzx::ReadTzxBlock(std::span(row.block).first(row.block.size() - 1)));
    Bytes longer = row.block;
    longer.push_back(0x10);
    const auto onePast = tzx::ReadTzxBlock(longer);
    ASSERT_TRUE(onePast);
    EXPECT_EQ(onePast->size, row.block.size());
    EXPECT_EQ(tzx::BytesOf(onePast->fields), row.block);
}

INSTANTIATE_TEST_SUITE_P(TzxBlockCodec, EveryKind, ::testing::ValuesIn(Rows()),
                         [](const auto& test) { return test.param.name; });

struct WriteRow {
    std::string name;
    TzxBlockFields fields;
    Bytes expected;
};

void PrintTo(const WriteRow& row, std::ostream* out) {
    *out << row.name;
}

std::vector<WriteRow> WriteRows() {
    const Bytes body = testing::WithChecksum({0xFF, 1, 2, 3});
    tzx::TurboSpeedBlock turbo;
    turbo.body = body;
    tzx::GeneralizedDataBlock generalized;
    generalized.header = {1000, 0, 0, 0, 8, 2, 2};
    generalized.dataSymbols = {{0, {855, 855}}, {0, {1710, 1710}}};
    generalized.dataStream = {0xA5};
    tzx::CustomInfoBlock custom;
    const std::string identification = "POKEs           ";
    std::copy(identification.begin(), identification.end(), custom.identification.begin());
    custom.data = {1, 2, 3};
    return {
        {"standard", tzx::StandardSpeedBlock{1000, body}, testing::TzxBodyBlock(body, 0x10)},
        {"turbo", turbo, testing::TzxBodyBlock(body, 0x11)},
        {"pureData", tzx::PureDataBlock{855, 1710, 8, 1000, body},
         testing::TzxBodyBlock(body, 0x14)},
        {"tone", tzx::PureToneBlock{2168, 3}, testing::TzxOtherBlock(0x12)},
        {"pulses", tzx::PulseSequenceBlock{{667, 735}}, testing::TzxOtherBlock(0x13)},
        {"direct", tzx::DirectRecordingBlock{79, 0, 8, {0xF0, 0x0F, 0xAA}},
         testing::TzxOtherBlock(0x15)},
        {"csw", tzx::CswRecordingBlock{0, 44100, 1, 3, {0x10, 0x20, 0x30}},
         testing::TzxOtherBlock(0x18)},
        {"generalized", generalized, testing::TzxOtherBlock(0x19)},
        {"pause", tzx::PauseBlock{1000}, testing::TzxOtherBlock(0x20)},
        {"group", tzx::GroupStartBlock{"group"}, testing::TzxOtherBlock(0x21)},
        {"jump", tzx::JumpBlock{2}, testing::TzxOtherBlock(0x23)},
        {"loop", tzx::LoopStartBlock{3}, testing::TzxOtherBlock(0x24)},
        {"call", tzx::CallSequenceBlock{{1, -1}}, testing::TzxOtherBlock(0x26)},
        {"select", tzx::SelectBlock{{{1, "game"}}}, testing::TzxOtherBlock(0x28)},
        {"stop48K", tzx::StopIn48KBlock{}, testing::TzxOtherBlock(0x2A)},
        {"level", tzx::SignalLevelBlock{1}, testing::TzxOtherBlock(0x2B)},
        {"text", tzx::TextDescriptionBlock{"text"}, testing::TzxOtherBlock(0x30)},
        {"message", tzx::MessageBlock{5, "msg"}, testing::TzxOtherBlock(0x31)},
        {"archive", tzx::ArchiveInfoBlock{{{0x00, "Title"}, {0x02, "Author"}}},
         testing::TzxOtherBlock(0x32)},
        {"hardware", tzx::HardwareTypeBlock{{{0, 1, 0}}}, testing::TzxOtherBlock(0x33)},
        {"custom", custom, testing::TzxOtherBlock(0x35)},
        {"glue", tzx::GlueBlock{1, 20}, testing::TzxOtherBlock(0x5A)},
    };
}

class EveryField : public ::testing::TestWithParam<WriteRow> {};

// Each named field lands where the format puts it: written, a kind's struct gives the bytes the
// builder lays out by hand, and reading them gives that struct again.
TEST_P(EveryField, WrittenAsTheFormatLaysItOut) {
    const WriteRow& row = GetParam();
    EXPECT_EQ(tzx::BytesOf(row.fields), row.expected);
    const auto read = tzx::ReadTzxBlock(row.expected);
    ASSERT_TRUE(read);
    EXPECT_EQ(read->fields.index(), row.fields.index());
}

INSTANTIATE_TEST_SUITE_P(TzxBlockCodec, EveryField, ::testing::ValuesIn(WriteRows()),
                         [](const auto& test) { return test.param.name; });

// What a field cannot hold is refused whole, and nothing is appended.
TEST(TzxBlockCodec, WritingWhatAFieldCannotHoldAppendsNothing) {
    const TzxBlockFields refused[] = {
        tzx::StandardSpeedBlock{1000, Bytes(0x10000, 0)},
        tzx::TextDescriptionBlock{std::string(256, 'x')},
        tzx::PulseSequenceBlock{std::vector<std::uint16_t>(256, 1)},
        tzx::ArchiveInfoBlock{{{0, std::string(256, 'x')}}},
        tzx::GeneralizedDataBlock{{0, 0, 0, 0, 8, 2, 2}, {}, {}, {{0, {1, 1}}}, {0xA5}},
    };
    for (const TzxBlockFields& fields : refused) {
        SCOPED_TRACE(fields.index());
        Bytes out{0x42};
        EXPECT_FALSE(tzx::WriteTzxBlock(fields, out));
        EXPECT_EQ(out, Bytes{0x42});
    }
}

// Bytes of any kind with any contents (a fixed seed): a block is read only when whole, and what
// is read is written as the bytes it came from.
TEST(TzxBlockCodec, AnyBytesReadAreWrittenAsTheyCame) {
    std::mt19937 random(39);
    std::size_t read = 0;
    for (int round = 0; round < 20000; ++round) {
        Bytes bytes(1 + random() % 40);
        for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random() % 6);
        bytes[0] = static_cast<std::uint8_t>(random());
        const auto block = tzx::ReadTzxBlock(bytes);
        ASSERT_EQ(block.has_value(), tzx::BlockSize(bytes).has_value());
        if (!block) continue;
        ++read;
        ASSERT_EQ(tzx::BytesOf(block->fields), Bytes(bytes.begin(), bytes.begin() + block->size));
    }
    EXPECT_GT(read, 1000u);
}

// A whole tape of every kind, block after block, written again from what was read.
TEST(TzxBlockCodec, WholeTapeOfEveryKindIsWrittenAgainAsItWas) {
    testing::TzxBuilder builder;
    for (const KindRow& row : Rows()) builder.Raw(row.block);
    const Bytes& tape = builder.Get();
    Bytes again;
    tzx::WriteTzxSignature(again, 1, 20);
    std::span<const std::uint8_t> rest = std::span(tape).subspan(again.size());
    while (!rest.empty()) {
        const auto read = tzx::ReadTzxBlock(rest);
        ASSERT_TRUE(read);
        ASSERT_TRUE(tzx::WriteTzxBlock(read->fields, again));
        rest = rest.subspan(read->size);
    }
    EXPECT_EQ(again, tape);
}

}  // namespace
}  // namespace brisalto
