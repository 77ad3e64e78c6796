// SPDX-License-Identifier: GPL-3.0-or-later
// TZX tapes: every block that carries a TAP block body gives the rows the same body gives in a
// TAP file, at the position of its flag byte; every other block is walked over by its own length
// fields; a file that ends inside any block is a damaged tape. Also the cap on blocks per scan,
// which both formats share.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "CatalogueErrors.h"
#include "CatalogueTable.h"
#include "RowText.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::Concat;
using testing::ExpectedRow;
using testing::RowTexts;
using testing::TapeBuilder;
using testing::TempTape;
using testing::TzxBodyBlock;
using testing::TzxBuilder;
using testing::TzxOtherBlock;
using testing::TzxSignature;

constexpr std::uint64_t kSignatureSize = 10;

// Bytes in front of the body of a block of this ID: the ID and the fixed fields.
std::uint64_t Framing(std::uint8_t id) {
    switch (id) {
        case 0x10: return 1 + 4;
        case 0x11: return 1 + 18;
        default: return 1 + 10;  // 0x14
    }
}

const Bytes kHelloHeaderTap = TapeBuilder().ProgramHeader("hello", 7, 10, 7).Get();
const Bytes kHelloDataTap = TapeBuilder().Data({1, 2, 3, 4, 5, 6, 7}).Get();

ExpectedRow HelloHeader(std::uint64_t position) {
    return {.Tipo = 0,
            .TipoStr = "Program",
            .Name = "hello     ",
            .Offset = static_cast<std::uint16_t>(position % 65536),
            .Start = 10,
            .Size = 7,
            .Par1 = 7,
            .Position = position};
}

ExpectedRow RawData(std::optional<std::uint16_t> size, std::uint64_t position,
                    std::int64_t tipo = 255, std::uint16_t par1 = 7) {
    return {.Tipo = tipo,
            .TipoStr = "Raw Data",
            .Offset = static_cast<std::uint16_t>(position % 65536),
            .Size = size,
            .Par1 = par1,
            .Position = position};
}

struct Scanned {
    ScanResult result;
    std::vector<std::string> rows;
};

Scanned Scan(const Bytes& contents, bool showRaw = true) {
    const TempTape tape(contents, "tape.tzx");
    CatalogueTable catalogue;
    const ScanResult result = ScanTape(tape.Path(), showRaw, catalogue);
    return {result, RowTexts(catalogue)};
}

std::string Hex(std::uint8_t id) {
    static const char* const kDigits = "0123456789ABCDEF";
    return std::string("ID 0x") + kDigits[id >> 4] + kDigits[id & 15];
}

TEST(ScanTzx, EveryOtherBlockBetweenBodiesIsWalkedOver) {
    for (const std::uint8_t id : testing::kTzxOtherIds) {
        SCOPED_TRACE(Hex(id));
        const Bytes other = TzxOtherBlock(id);
        const Bytes tape =
            TzxBuilder().FromTap(kHelloHeaderTap).Other(id).FromTap(kHelloDataTap).Get();
        const std::uint64_t header = kSignatureSize + 5;
        const std::uint64_t data = header + 19 + other.size() + 5;
        const Scanned scanned = Scan(tape);
        EXPECT_EQ(scanned.result, ScanResult::Completed);
        EXPECT_EQ(scanned.rows, RowTexts({HelloHeader(header), RawData(7, data)}));
    }
}

TEST(ScanTzx, BodiesOfEveryKindListAsInATapFile) {
    for (const std::uint8_t id : testing::kTzxBodyIds) {
        SCOPED_TRACE(Hex(id));
        const Bytes tape =
            TzxBuilder().FromTap(kHelloHeaderTap, id).FromTap(kHelloDataTap, id).Get();
        const std::uint64_t header = kSignatureSize + Framing(id);
        const std::uint64_t data = header + 19 + Framing(id);
        const Scanned withRaw = Scan(tape);
        EXPECT_EQ(withRaw.result, ScanResult::Completed);
        EXPECT_EQ(withRaw.rows, RowTexts({HelloHeader(header), RawData(7, data)}));
        EXPECT_EQ(Scan(tape, false).rows, RowTexts({HelloHeader(header)}));
    }
}

// 3-byte lengths reach past what a TAP block can hold: the first 65,501 bytes are kept, the rest
// passed over, and a data length beyond 65,535 leaves Size empty.
TEST(ScanTzx, LongBodiesKeepTheirPlaceAndLeaveSizeEmptyPastItsRange) {
    struct Case {
        std::size_t length;
        std::optional<std::uint16_t> size;
    };
    for (const std::uint8_t id : {std::uint8_t{0x11}, std::uint8_t{0x14}}) {
        for (const Case c : {Case{65535, 65533}, Case{65537, 65535}, Case{65538, std::nullopt},
                             Case{200000, std::nullopt}}) {
            SCOPED_TRACE(Hex(id) + " N = " + std::to_string(c.length));
            Bytes body(c.length, 0x00);  // zeros: empty headers, if the walk lost its place
            body[0] = 0xFF;
            const Bytes tape =
                TzxBuilder().FromTap(kHelloHeaderTap).Body(body, id).FromTap(kHelloHeaderTap).Get();
            const std::uint64_t first = kSignatureSize + 5;
            const std::uint64_t data = first + 19 + Framing(id);
            const Scanned scanned = Scan(tape);
            EXPECT_EQ(scanned.result, ScanResult::Completed);
            EXPECT_EQ(scanned.rows, RowTexts({HelloHeader(first), RawData(c.size, data),
                                              HelloHeader(data + c.length + 5)}));
        }
    }
}

// Another TZX file appended whole: its signature starts with 'Z', the glue block's ID.
TEST(ScanTzx, AppendedTzxFileReadsAsAGlueBlock) {
    const Bytes tape = TzxBuilder()
                           .FromTap(kHelloHeaderTap)
                           .Raw(TzxSignature(1, 13))
                           .FromTap(kHelloHeaderTap)
                           .Get();
    const std::uint64_t first = kSignatureSize + 5;
    const Scanned scanned = Scan(tape);
    EXPECT_EQ(scanned.result, ScanResult::Completed);
    EXPECT_EQ(scanned.rows,
              RowTexts({HelloHeader(first), HelloHeader(first + 19 + kSignatureSize + 5)}));
}

// Real files carry archive texts that do not add up to the block's length: the length wins.
TEST(ScanTzx, ArchiveInfoIsWalkedByItsLengthNotItsStrings) {
    const Bytes archive = {0x32, 6, 0, /*strings*/ 9, 0x00, 200, 'a', 'b', 'c'};
    const Bytes tape = TzxBuilder().Raw(archive).FromTap(kHelloHeaderTap).Get();
    const Scanned scanned = Scan(tape);
    EXPECT_EQ(scanned.result, ScanResult::Completed);
    EXPECT_EQ(scanned.rows, RowTexts({HelloHeader(kSignatureSize + archive.size() + 5)}));
}

// The file ends inside a block, at every byte of it: the rows before it stay, the tape is damaged.
TEST(ScanTzx, FileEndingInsideAnyBlockIsDamaged) {
    std::vector<std::pair<std::uint8_t, Bytes>> blocks;
    for (const std::uint8_t id : testing::kTzxBodyIds) {
        blocks.emplace_back(id, TzxBodyBlock({0xFF, 1, 2, 3}, id));
    }
    for (const std::uint8_t id : testing::kTzxOtherIds) blocks.emplace_back(id, TzxOtherBlock(id));
    const std::vector<std::string> before = RowTexts({HelloHeader(kSignatureSize + 5)});
    for (const auto& [id, block] : blocks) {
        SCOPED_TRACE(Hex(id));
        for (std::size_t cut = 1; cut < block.size(); ++cut) {
            SCOPED_TRACE("first " + std::to_string(cut) + " bytes");
            const Bytes tape = TzxBuilder()
                                   .FromTap(kHelloHeaderTap)
                                   .Raw(Bytes(block.begin(), block.begin() + std::ptrdiff_t(cut)))
                                   .Get();
            const Scanned scanned = Scan(tape);
            EXPECT_EQ(scanned.result, ScanResult::Damaged);
            EXPECT_EQ(scanned.rows, before);
        }
        EXPECT_EQ(Scan(TzxBuilder().FromTap(kHelloHeaderTap).Raw(block).Get()).result,
                  ScanResult::Completed);
    }
}

TEST(ScanTzx, VersionsAreIgnoredButMustBeThere) {
    for (const auto& [major, minor] : std::vector<std::pair<std::uint8_t, std::uint8_t>>{
             {1, 0}, {1, 13}, {1, 20}, {1, 32}, {10, 1}, {0, 0}, {255, 255}}) {
        SCOPED_TRACE(std::to_string(major) + "." + std::to_string(minor));
        const Scanned scanned = Scan(TzxBuilder(major, minor).FromTap(kHelloHeaderTap).Get());
        EXPECT_EQ(scanned.result, ScanResult::Completed);
        EXPECT_EQ(scanned.rows, RowTexts({HelloHeader(kSignatureSize + 5)}));
    }
    const Bytes signature = TzxSignature();
    EXPECT_EQ(Scan(signature).result, ScanResult::Completed);
    for (const std::size_t kept : {8, 9}) {
        const Scanned cut = Scan(Bytes(signature.begin(), signature.begin() + kept));
        EXPECT_EQ(cut.result, ScanResult::Damaged) << kept << " bytes";
        EXPECT_TRUE(cut.rows.empty());
    }
}

// N = 0 reads as an empty Program header, as in a TAP file; N = 1 fails on its Size when listed.
TEST(ScanTzx, BodiesOfNoneAndOneByteEndAsInATapFile) {
    for (const std::uint8_t id : testing::kTzxBodyIds) {
        SCOPED_TRACE(Hex(id));
        const Scanned empty = Scan(TzxBuilder().Body({}, id).Get());
        EXPECT_EQ(empty.result, ScanResult::Completed);
        EXPECT_EQ(empty.rows, RowTexts({{.Tipo = 0,
                                         .TipoStr = "Program",
                                         .Offset = std::uint16_t(kSignatureSize + Framing(id)),
                                         .Start = 0,
                                         .Size = 0,
                                         .Par1 = 0,
                                         .Position = kSignatureSize + Framing(id)}}));
        const Bytes oneByte = TzxBuilder().Body({0xFF}, id).FromTap(kHelloHeaderTap).Get();
        EXPECT_THROW(Scan(oneByte), FieldRangeError);
        EXPECT_EQ(Scan(oneByte, false).result, ScanResult::Completed);
    }
}

// At most 1,048,576 blocks of any kind per scan; a tape with more is damaged after them.
TEST(ScanBlockLimit, StopsAfterTheLimitInEitherFormat) {
    constexpr std::size_t kLimit = 1 << 20;
    // TAP: a header, then minimal data blocks that are not listed; the extra block is a header.
    Bytes tap = kHelloHeaderTap;
    for (std::size_t i = 1; i < kLimit; ++i) tap.insert(tap.end(), {2, 0, 0xFF, 0x00});
    // TZX: a header, then group ends, one byte each.
    Bytes tzx = TzxBuilder().FromTap(kHelloHeaderTap).Get();
    tzx.resize(tzx.size() + kLimit - 1, 0x22);
    const std::vector<std::string> first = RowTexts({HelloHeader(2)});
    const std::vector<std::string> tzxFirst = RowTexts({HelloHeader(kSignatureSize + 5)});

    EXPECT_EQ(Scan(tap, false).result, ScanResult::Completed);
    EXPECT_EQ(Scan(tzx, false).result, ScanResult::Completed);
    const Scanned tapPast = Scan(Concat({tap, kHelloHeaderTap}), false);
    EXPECT_EQ(tapPast.result, ScanResult::Damaged);
    EXPECT_EQ(tapPast.rows, first);
    const Scanned tzxPast = Scan(Concat({tzx, TzxBodyBlock({0x00, 3})}), false);
    EXPECT_EQ(tzxPast.result, ScanResult::Damaged);
    EXPECT_EQ(tzxPast.rows, tzxFirst);
}

}  // namespace
}  // namespace brisalto
