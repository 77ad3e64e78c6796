// SPDX-License-Identifier: GPL-3.0-or-later
// Block details over hostile blocks: counts that state more than the block holds give what lies
// within it and say so, never a figure read past it; lists stay bounded; rows as the grid's.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "BlockDetails.h"
#include "TapeDocument.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace brisalto::testing {
namespace {

// The details of a TZX tape holding the given blocks after its signature.
std::vector<BlockDetail> DetailsOf(const Bytes& blocks) {
    const TempTape tape(TzxBuilder().Raw(blocks).Get(), "tape.tzx");
    return BlockDetails(ReadTapeDocument(tape.Path()));
}

// A detail's lines after its heading, position and length.
std::vector<std::string> FieldLines(const BlockDetail& detail) {
    const std::vector<std::string> lines = BlockDetailLines(detail);
    return {lines.begin() + 3, lines.end()};
}

Bytes Repeated(std::size_t count, Bytes entry) {
    Bytes bytes;
    for (std::size_t i = 0; i < count; ++i) bytes.insert(bytes.end(), entry.begin(), entry.end());
    return bytes;
}

Bytes Joined(std::initializer_list<Bytes> parts) {
    Bytes bytes;
    for (const Bytes& part : parts) bytes.insert(bytes.end(), part.begin(), part.end());
    return bytes;
}

TEST(BlockDetails, LyingCountsGiveWhatTheBlockHoldsAndSaySo) {
    const struct {
        const char* what;
        Bytes block;
        std::vector<std::string> lines;
    } cases[] = {
        {"generalized data shorter than its own head",
         {0x19, 3, 0, 0, 0, 0xE8, 0x03, 0x01},
         {"  Pause: 1000 ms", "  Cut: its counts state more than its 3 bytes hold"}},
        {"generalized data whose pilot stream runs past it",
         Joined({{0x19, 22, 0, 0, 0, 0, 0},
                 {0x00, 0xCA, 0x9A, 0x3B, 1, 1, 0, 0, 0, 0, 0, 0},  // TOTP 1,000,000,000
                 {0, 0x78, 0x08},                                   // the one pilot symbol
                 {0, 5, 0, 0, 9}}),                                 // a stream entry, then one cut
         {"  Pause: 0 ms", "  Pilot symbols in the block (TOTP): 1000000000",
          "  Pilot pulses per symbol (NPP): 1", "  Pilot symbols in the table (ASP): 1",
          "  Data symbols in the block (TOTD): 0", "  Data pulses per symbol (NPD): 0",
          "  Data symbols in the table (ASD): 256", "  Pilot symbols:", "    0: type 0; 2168",
          "  Pilot stream:", "    symbol 0 x 5",
          "  Cut: its counts state more than its 22 bytes hold"}},
        {"select block of more choices than it holds",
         Joined({{0x28, 7, 0, 5}, {0xFF, 0xFF, 2, 'N', 'o'}, {2}}),
         {"  Choices stated: 5", "  Choices (offset: text):", "    -1: No",
          "  Cut: its counts state more than its 7 bytes hold"}},
        {"select block whose text runs past it",
         {0x28, 5, 0, 1, 1, 0, 200, 'A'},
         {"  Choices stated: 1", "  Choices (offset: text): none",
          "  Cut: its counts state more than its 5 bytes hold"}},
        {"CSW recording shorter than its fields",
         {0x18, 4, 0, 0, 0, 0x2C, 0x01, 0x44, 0xAC},
         {"  Pause: 300 ms", "  Cut: its counts state more than its 4 bytes hold"}},
        {"signal level without its level",
         {0x2B, 0, 0, 0, 0},
         {"  Cut: its counts state more than its 0 bytes hold"}},
        {"archive information whose field runs past it (what lies within it)",
         {0x32, 6, 0, 1, 0x00, 40, 'T', 'i', 't'},
         {"  Title: Tit"}},
        {"a pulse sequence longer than a list shows",
         Joined({{0x13, 255}, Repeated(255, {0x10, 0x01})}),
         {"  Pulses: 255", "  Pulse lengths:" +
                               [] {
                                   std::string lengths;
                                   for (std::size_t i = 0; i < kMaxListed; ++i) lengths += " 272";
                                   return lengths;
                               }() +
                               " T-states and 191 more"}},
        {"a call sequence longer than a list shows",
         Joined({{0x26, 0x2C, 0x01}, Repeated(300, {0xFE, 0xFF})}),
         {"  Calls: 300", "  Call offsets:" +
                              [] {
                                  std::string offsets;
                                  for (std::size_t i = 0; i < kMaxListed; ++i) offsets += " -2";
                                  return offsets;
                              }() +
                              " blocks and 236 more"}},
        {"an ID no version defines: its length only", {0x60, 2, 0, 0, 0, 'a', 'b'}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<BlockDetail> details = DetailsOf(c.block);
        ASSERT_EQ(details.size(), 1u);
        EXPECT_EQ(details[0].length, c.block.size());
        EXPECT_EQ(FieldLines(details[0]), c.lines);
    }
}

// The kinds tzxlist's library does not read, and what a TAP block holds, at their exact wording:
// each block's heading and fields.
TEST(BlockDetails, BlocksTzxlistCannotReadAndTapBlocksAreSaidInFull) {
    const struct {
        const char* what;
        Bytes tape;  // a whole file
        std::vector<std::string> lines;
    } cases[] = {
        {"CSW recording",
         TzxBuilder()
             .Raw({0x18, 13, 0, 0, 0, 0xE8, 0x03, 0x44, 0xAC, 0x00, 2, 7, 0, 0, 0, 1, 2, 3})
             .Get(),
         {"Block 1: 0x18 CSW recording", "  Pause: 1000 ms", "  Sampling rate: 44100 Hz",
          "  Compression: Z-RLE", "  Pulses: 7"}},
        {"call sequence and return",
         TzxBuilder().Raw({0x26, 2, 0, 3, 0, 0xFB, 0xFF, 0x27}).Get(),
         {"Block 1: 0x26 Call sequence", "  Calls: 2", "  Call offsets: 3 -5 blocks",
          "Block 2: 0x27 Return from sequence"}},
        {"direct recording",
         TzxBuilder().Raw({0x15, 79, 0, 0, 0, 3, 2, 0, 0, 0xAA, 0x80}).Get(),
         {"Block 1: 0x15 Direct recording", "  T-states per sample: 79", "  Pause: 0 ms",
          "  Used bits in the last byte: 3", "  Samples' bytes: 2 bytes", "  Samples: 11"}},
        {"glue",
         TzxBuilder().Raw({0x5A, 'X', 'T', 'a', 'p', 'e', '!', 0x1A, 1, 5}).Get(),
         {"Block 1: 0x5A Glue", "  Version: 1.05"}},
        {"message until a key is pressed, signal level low",
         TzxBuilder().Raw({0x31, 0, 2, 'H', 'i', 0x2B, 1, 0, 0, 0, 0}).Get(),
         {"Block 1: 0x31 Message", "  Shown for: 0 s (0: until a key is pressed)", "  Text: Hi",
          "Block 2: 0x2B Set signal level", "  Signal level: low"}},
        {"a TAP block of a bad checksum: no pause, which a TAP file does not hold",
         {4, 0, 0xFF, 1, 2, 0x55},
         {"Block 1: 0x10 Standard speed data (row 1)",
          "  Body length: 4 bytes (flag, data, checksum)", "  Flag: 0xFF",
          "  Checksum stated: 0x55", "  Checksum computed: 0xFC", "  Checksum: bad"}},
        {"a TAP block of no bytes, read as a header as the grid reads it",
         {0, 0},
         {"Block 1: 0x10 Standard speed data (row 1)",
          "  Body length: 0 bytes (flag, data, checksum)"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const TempTape tape(c.tape, "tape.tzx");
        const std::vector<BlockDetail> details = BlockDetails(ReadTapeDocument(tape.Path()));
        std::vector<std::string> lines;
        for (const BlockDetail& detail : details) {
            for (const std::string& line : BlockDetailLines(detail)) {
                if (!line.starts_with("  Position: ") && !line.starts_with("  Length: "))
                    lines.push_back(line);
            }
        }
        EXPECT_EQ(lines, c.lines);
    }
}

// A symbol table's list is bounded: 256 pilot symbols (ASP 0) of 255 pulses list the first 64,
// and the block, longer than the part a block keeps, says what was kept.
TEST(BlockDetails, AFullSymbolTableListsItsFirstEntries) {
    const Bytes table = Repeated(256, Joined({{0}, Repeated(255, {0x34, 0x12})}));
    const std::uint32_t length = 14 + static_cast<std::uint32_t>(table.size()) + 3;
    const Bytes block = Joined({{0x19, std::uint8_t(length), std::uint8_t(length >> 8),
                                 std::uint8_t(length >> 16), 0, 0, 0, 1, 0, 0, 0, 255, 0},
                                {0, 0, 0, 0, 0, 0},
                                table,
                                {0, 1, 0}});
    const std::vector<BlockDetail> details = DetailsOf(block);
    ASSERT_EQ(details.size(), 1u);
    const auto symbols = std::find_if(details[0].fields.begin(), details[0].fields.end(),
                                      [](const DetailField& f) { return f.key == "pilotSymbols"; });
    ASSERT_NE(symbols, details[0].fields.end());
    EXPECT_EQ(symbols->texts.size(), kMaxListed);
    EXPECT_EQ(symbols->notListed, 256 - kMaxListed);
    EXPECT_EQ(FieldLines(details[0]).back(),
              "  Kept: the first " + std::to_string(kMaxKeptPart) + " of 130833 bytes");
}

// Rows as the grid numbers them with raw blocks shown: headers and data (0xFF) blocks only.
TEST(BlockDetails, OnlyHeadersAndDataBlocksAreRows) {
    const Bytes header = {0x00, 3,   'c', 'o', 'd', 'e',  ' ', ' ', ' ', ' ',
                          ' ',  ' ', 4,   0,   0,   0x80, 0,   0,   0x8A};
    const std::vector<BlockDetail> details = DetailsOf(Joined({
        TzxBodyBlock(header),
        TzxBodyBlock({0x55, 1, 0x54}, 0x11),
        TzxOtherBlock(0x20),
        TzxBodyBlock({0xFF, 1, 0xFE}, 0x14),
    }));
    std::vector<std::optional<std::size_t>> rows;
    for (const BlockDetail& detail : details) rows.push_back(detail.row);
    EXPECT_EQ(rows, (std::vector<std::optional<std::size_t>>{1, std::nullopt, std::nullopt, 2}));
    EXPECT_EQ(FieldLines(details[1]).back(), "  Checksum: good");
}

}  // namespace
}  // namespace brisalto::testing
