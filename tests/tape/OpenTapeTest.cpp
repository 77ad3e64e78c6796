// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "TapeBuilder.h"
#include "TapeDocument.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace brisalto {
namespace {

using testing::Bytes;

// Every block of a TZX tape of every kind lies where the file has it, end to end, with its
// fixed fields and counted part as stored and, for the three kinds that carry one, its body.
TEST(OpenTape, KeepsEveryTzxBlockAsStored) {
    const Bytes body = testing::WithChecksum({0xFF, 1, 2, 3});
    testing::TzxBuilder builder;
    std::vector<std::uint8_t> ids;
    for (const std::uint8_t id : testing::kTzxBodyIds) {
        builder.Body(body, id);
        ids.push_back(id);
    }
    for (const std::uint8_t id : testing::kTzxOtherIds) {
        builder.Other(id);
        ids.push_back(id);
    }
    const Bytes& file = builder.Get();
    const testing::TempTape tape(file, "every.tzx");

    const TapeDocument opened = ReadTapeDocument(tape.Path());
    EXPECT_EQ(opened.result, ScanResult::Completed);
    ASSERT_TRUE(opened.tzx);
    EXPECT_EQ(opened.tzx->minor, 20);
    ASSERT_EQ(opened.blocks.size(), ids.size());
    std::uint64_t at = testing::TzxSignature().size();
    for (std::size_t i = 0; i < ids.size(); ++i) {
        const TapeBlock& block = opened.blocks[i];
        SCOPED_TRACE(static_cast<int>(block.id));
        EXPECT_EQ(block.id, ids[i]);
        EXPECT_EQ(block.position, at);
        EXPECT_EQ(file[at], block.id);
        EXPECT_TRUE(std::equal(block.Fixed().begin(), block.Fixed().end(), file.begin() + at + 1));
        const bool carriesBody = i < testing::kTzxBodyIds.size();
        ASSERT_EQ(block.body.has_value(), carriesBody);
        if (carriesBody) {
            EXPECT_EQ(block.body->position, at + 1 + block.fixedSize);
            EXPECT_EQ(block.body->length, body.size());
            EXPECT_TRUE(block.body->checksum && block.body->checksum->Good());
        } else {
            const auto part = file.begin() + static_cast<std::ptrdiff_t>(at + 1 + block.fixedSize);
            EXPECT_EQ(block.part.size(), block.partLength);
            EXPECT_TRUE(std::equal(block.part.begin(), block.part.end(), part));
        }
        at += block.length;
    }
    EXPECT_EQ(at, file.size());
}

// A TAP block reads as a TZX standard speed block with a pause of a second; a cut one ends the
// tape as damaged, after the blocks before it.
TEST(OpenTape, TapBlocksAsStandardSpeedBlocks) {
    const Bytes block = testing::Concat({{5, 0}, testing::WithChecksum({0xFF, 7, 8, 9})});
    const testing::TempTape tape(testing::Concat({block, block, {9, 0, 0xFF}}));
    const TapeDocument opened = ReadTapeDocument(tape.Path());
    EXPECT_EQ(opened.result, ScanResult::Damaged);
    EXPECT_FALSE(opened.tzx);
    ASSERT_EQ(opened.blocks.size(), 2u);
    const TapeBlock& second = opened.blocks[1];
    EXPECT_EQ(second.id, tzx::kStandardSpeed);
    EXPECT_EQ(second.position, 7u);
    EXPECT_EQ(second.length, 7u);
    EXPECT_EQ(second.Field(tzx::standard::kPause), 1000);  // milliseconds
    EXPECT_EQ(second.Field(tzx::standard::kLength), 5);
    ASSERT_TRUE(second.body);
    EXPECT_EQ(second.body->position, 9u);
    EXPECT_EQ(second.body->Flag(), 0xFF);
}

}  // namespace
}  // namespace brisalto
