// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "CatalogueTable.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::TapeBuilder;
using testing::TempTape;

// A data block body of length bytes: flag 0xFF, varied data, and the checksum that makes the
// XOR of the whole body 0.
Bytes GoodDataBody(std::size_t length) {
    Bytes body(length - 1);
    body[0] = 0xFF;
    for (std::size_t i = 1; i < body.size(); ++i)
        body[i] = static_cast<std::uint8_t>(i * 7 + i / 256);
    return testing::WithChecksum(std::move(body));
}

std::optional<BlockChecksum> ScannedChecksum(const Bytes& contents) {
    const TempTape tape(contents);
    CatalogueTable catalogue;
    EXPECT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    EXPECT_EQ(catalogue.RowCount(), 1u);
    if (catalogue.RowCount() != 1) return std::nullopt;
    return catalogue.Row(0).Checksum;
}

// Good blocks on both sides of the kept 65,501 bytes, and of every remainder of eight that the
// XOR is taken in, then each with one byte flipped: in the data (the computed XOR moves), past
// the kept bytes, and the checksum byte itself.
TEST(ScanChecksum, GoodBlocksAndOneFlippedByteAcrossTheKeptLimit) {
    for (const std::size_t length : {2, 3, 4, 8, 9, 12, 19, 6914, 65501, 65502, 65535}) {
        SCOPED_TRACE(length);
        const Bytes good = GoodDataBody(length);
        const std::uint8_t stored = good.back();
        const auto checksum = ScannedChecksum(TapeBuilder().Block(good).Get());
        ASSERT_TRUE(checksum.has_value());
        EXPECT_TRUE(checksum->Good());
        EXPECT_EQ(checksum->stored, stored);

        std::vector<std::size_t> flips = {1, length / 2, length - 1};
        if (length > 65501) flips.insert(flips.end(), {65500, 65501, length - 2});
        for (const std::size_t at : flips) {
            if (at == 0) continue;  // flipping the flag would unlist a data block
            SCOPED_TRACE(at);
            Bytes bad = good;
            bad[at] ^= 0x24;
            const auto flipped = ScannedChecksum(TapeBuilder().Block(bad).Get());
            ASSERT_TRUE(flipped.has_value());
            EXPECT_FALSE(flipped->Good());
            const bool checksumByte = at == length - 1;
            EXPECT_EQ(flipped->stored, checksumByte ? stored ^ 0x24 : stored);
            EXPECT_EQ(flipped->computed, checksumByte ? stored : stored ^ 0x24);
        }
    }
}

// A short body read in two pieces, across the end of the 64 KiB the file is read ahead in: the
// first block ends 20 bytes before it, and the second's 40-byte body is flipped on either side.
TEST(ScanChecksum, ShortBodyAcrossTheReadAhead) {
    const Bytes first = GoodDataBody(65536 - 20 - 4);
    const Bytes second = GoodDataBody(40);
    for (const std::size_t flip : {std::size_t{0}, std::size_t{5}, std::size_t{30}}) {
        SCOPED_TRACE(flip);
        Bytes body = second;
        if (flip != 0) body[flip] ^= 0x11;
        const TempTape tape(TapeBuilder().Block(first).Block(body).Get());
        CatalogueTable catalogue;
        ASSERT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
        ASSERT_EQ(catalogue.RowCount(), 2u);
        ASSERT_TRUE(catalogue.Row(1).Checksum.has_value());
        EXPECT_EQ(catalogue.Row(1).Checksum->Good(), flip == 0);
        EXPECT_EQ(catalogue.Row(1).Checksum->computed,
                  flip == 0 ? second.back() : second.back() ^ 0x11);
    }
}

// Every kind of TZX block that carries a body, also one longer than any TAP block.
TEST(ScanChecksum, TzxBodiesOfEveryKind) {
    for (const std::uint8_t id : testing::kTzxBodyIds) {
        for (const std::size_t length : {std::size_t{100}, std::size_t{70000}}) {
            if (id == 0x10 && length > 65535) continue;  // a 16-bit length
            SCOPED_TRACE(std::to_string(id) + " " + std::to_string(length));
            const Bytes good = GoodDataBody(length);
            const auto checksum = ScannedChecksum(testing::TzxBuilder().Body(good, id).Get());
            ASSERT_TRUE(checksum.has_value());
            EXPECT_TRUE(checksum->Good());
            Bytes bad = good;
            bad[length - 2] ^= 0x81;
            const auto flipped = ScannedChecksum(testing::TzxBuilder().Body(bad, id).Get());
            ASSERT_TRUE(flipped.has_value());
            EXPECT_EQ(flipped->stored, good.back());
            EXPECT_EQ(flipped->computed, good.back() ^ 0x81);
        }
    }
}

TEST(ScanChecksum, HeaderRowsCarryItAndAnEmptyBlockHasNone) {
    Bytes header = {0x00, 0x03, 'n', 'a',  'm',  'e',  ' ',  ' ',  ' ',
                    ' ',  ' ',  ' ', 0x00, 0x04, 0x00, 0x80, 0x00, 0x80};
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : header) sum ^= byte;
    header.push_back(static_cast<std::uint8_t>(sum ^ 0x01));  // one bit off
    const TempTape tape(TapeBuilder().Block(header).Block({}).Get());
    CatalogueTable catalogue;
    ASSERT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    ASSERT_EQ(catalogue.RowCount(), 2u);
    const CatalogueRow& headerRow = catalogue.Row(0);
    EXPECT_EQ(headerRow.Flag, 0x00);
    ASSERT_TRUE(headerRow.Checksum.has_value());
    EXPECT_EQ(headerRow.Checksum->stored, sum ^ 0x01);
    EXPECT_EQ(headerRow.Checksum->computed, sum);
    EXPECT_FALSE(catalogue.Row(1).Checksum.has_value());
}

}  // namespace
}  // namespace brisalto
