// SPDX-License-Identifier: GPL-3.0-or-later
// Tapes made by zmakebas, turned into TZX tapes by tapeconv, read back by tzxlist: the catalogue
// must agree with what other programs see in the same file. A missing tool fails these tests: the
// test command installs it.
#include <gtest/gtest.h>

#include <cstdint>
#include <iostream>
#include <optional>
#include <span>
#include <sstream>
#include <string>
#include <variant>
#include <vector>

#include "CatalogueTable.h"
#include "LineSink.h"
#include "ListBasicProgram.h"
#include "RowText.h"
#include "RunCommand.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TapeDocument.h"
#include "TempTape.h"
#include "TzxBlockCodec.h"
#include "TzxBuilder.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::ExpectedRow;
using testing::ReadWholeFile;
using testing::RowTexts;
using testing::RunCommand;
using testing::TempTape;

// One block as tzxlist describes it.
struct ListedBlock {
    unsigned type = 0;              // "Block type 0xNN"
    std::size_t length = 0;         // "Block length: N bytes" or "Data length: N bytes", the body
    std::vector<std::uint8_t> raw;  // "Raw header:" bytes (type, name, length, p1, p2), if any
    std::size_t dataLength = 0;     // "Datablock length: N"
    bool isHeader() const { return !raw.empty(); }
};

std::vector<std::uint8_t> HexBytes(const std::string& text) {
    std::vector<std::uint8_t> bytes;
    std::istringstream in(text);
    std::string token;
    while (in >> token) {
        if (token != "|")
            bytes.push_back(static_cast<std::uint8_t>(std::stoul(token, nullptr, 16)));
    }
    return bytes;
}

// Reads tzxlist's listing: "--= Block #n =--" opens a block; its lines are indented.
std::vector<ListedBlock> ParseTzxlist(const std::string& listing) {
    std::vector<ListedBlock> blocks;
    std::istringstream in(listing);
    std::string line;
    const auto after = [&](const std::string& label) -> std::optional<std::string> {
        const auto at = line.find(label);
        if (at == std::string::npos) return std::nullopt;
        return line.substr(at + label.size());
    };
    while (std::getline(in, line)) {
        if (line.rfind("--= Block #", 0) == 0) {
            blocks.emplace_back();
        } else if (blocks.empty()) {
            continue;
        } else if (const auto type = after("  Block type 0x")) {
            blocks.back().type = static_cast<unsigned>(std::stoul(*type, nullptr, 16));
        } else if (const auto length = after("  Block length: ")) {
            blocks.back().length = std::stoul(*length);
        } else if (const auto dataLength = after("  Data length: ")) {
            blocks.back().length = std::stoul(*dataLength);
        } else if (const auto raw = after("  Raw header: ")) {
            blocks.back().raw = HexBytes(*raw);
        } else if (const auto data = after("  Datablock length: ")) {
            blocks.back().dataLength = std::stoul(*data);
        }
    }
    return blocks;
}

// The blocks that carry a TAP block body, the only ones the scanner lists.
std::vector<ListedBlock> BodyBlocks(const std::vector<ListedBlock>& blocks) {
    std::vector<ListedBlock> bodies;
    for (const ListedBlock& block : blocks) {
        if (block.type == 0x10 || block.type == 0x11 || block.type == 0x14) bodies.push_back(block);
    }
    return bodies;
}

std::uint16_t Word(const std::vector<std::uint8_t>& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(bytes.at(at) | bytes.at(at + 1) << 8);
}

// Where the blocks of a file of standard blocks lie: the bytes before the first, and the bytes in
// front of each body.
struct Framing {
    std::uint64_t start;
    std::uint64_t perBlock;
};
constexpr Framing kTapFraming{0, 2};
constexpr Framing kTzxFraming{10, 5};  // signature and version; ID, pause and length

// The rows a scan must give, worked out from tzxlist's view of the blocks alone. The offsets
// come from the lengths, since tzxlist shows none.
std::vector<ExpectedRow> RowsFromListing(const std::vector<ListedBlock>& blocks, bool showRaw,
                                         Framing framing = kTapFraming) {
    static const char* const kKinds[] = {"Program", "Numeric Array", "Character Array", "Bytes"};
    std::vector<ExpectedRow> rows;
    std::uint64_t next = framing.start;
    std::int64_t lastType = 0;
    std::uint16_t lastProgramLength = 0;
    for (const ListedBlock& block : blocks) {
        const std::uint64_t position = next + framing.perBlock;
        next = position + block.length;
        const auto offset = static_cast<std::uint16_t>(position % 65536);
        if (block.isHeader()) {
            EXPECT_EQ(block.raw.size(), 17u) << "type, ten name bytes and three words";
            EXPECT_EQ(block.length, 19u);
            ExpectedRow row{.Tipo = block.raw.at(0),
                            .Name = std::string(block.raw.begin() + 1, block.raw.begin() + 11),
                            .Offset = offset,
                            .Start = Word(block.raw, 13),
                            .Size = Word(block.raw, 11),
                            .Position = position};
            lastType = block.raw[0];
            if (lastType < 4) row.TipoStr = kKinds[lastType];
            if (lastType == 0) {
                lastProgramLength = Word(block.raw, 15);
                row.Par1 = lastProgramLength;
            }
            rows.push_back(row);
        } else {
            EXPECT_EQ(block.dataLength + 2, block.length);
            if (!showRaw) continue;
            rows.push_back({.Tipo = 255 + lastType,
                            .TipoStr = "Raw Data",
                            .Offset = offset,
                            .Size = static_cast<std::uint16_t>(block.dataLength),
                            .Par1 = lastProgramLength,
                            .Position = position});
        }
    }
    return rows;
}

Bytes TextBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

struct Program {
    std::string name;
    std::string options;  // extra zmakebas options, such as an autostart line
    std::string text;
};

std::string LongProgram(int lines) {
    std::string text;
    for (int i = 1; i <= lines; ++i) {
        text += std::to_string(i * 10) + " REM " + std::string(60, char('A' + i % 26)) + "\n";
    }
    return text;
}

const std::vector<Program>& Programs() {
    static const std::vector<Program> programs = {
        {"hello", "", "10 PRINT \"HELLO\"\n20 GOTO 10\n"},
        {"abcdefghij", "-a 10",
         "10 FOR i=1 TO 10\n20 PRINT i, i*i; TAB 20; SQR i\n30 NEXT i\n40 STOP\n"},
        {"a", "-a 9999", "9999 REM last\n"},
        {"long", "-a 1", LongProgram(600)},  // about 40 KB, so tapes reach past 64 KiB
    };
    return programs;
}

// Writes the program's text beside it and returns the tape zmakebas made of it.
Bytes MakeTape(const Program& program) {
    const TempTape source(TextBytes(program.text), "program.bas");
    const std::string tape = source.Folder() + "/program.tap";
    RunCommand("zmakebas -o '" + tape + "' -n '" + program.name + "' " + program.options + " '" +
               source.Path() + "'");
    return ReadWholeFile(tape);
}

// Scans the tape both ways and compares each with tzxlist's view.
void ExpectScanMatchesTzxlist(const Bytes& contents, Framing framing = kTapFraming) {
    ASSERT_FALSE(contents.empty()) << "zmakebas made no tape";
    const TempTape tape(contents);
    const std::vector<ListedBlock> blocks =
        ParseTzxlist(RunCommand("tzxlist '" + tape.Path() + "'"));
    ASSERT_FALSE(blocks.empty()) << "tzxlist listed no blocks";
    for (const bool showRaw : {true, false}) {
        SCOPED_TRACE(showRaw ? "showRaw" : "headers only");
        CatalogueTable catalogue;
        EXPECT_EQ(ScanTape(tape.Path(), showRaw, catalogue), ScanResult::Completed);
        EXPECT_EQ(RowTexts(catalogue), RowTexts(RowsFromListing(blocks, showRaw, framing)));
    }
}

// The TZX tape tapeconv makes of a TAP tape.
Bytes ConvertToTzx(const Bytes& tap) {
    const TempTape source(tap);
    const std::string tzx = source.Folder() + "/tape.tzx";
    RunCommand("tapeconv '" + source.Path() + "' '" + tzx + "'");
    return ReadWholeFile(tzx);
}

// Each row without its place in the file, and each program's listing.
struct Catalogued {
    std::vector<std::string> rows;
    std::vector<std::vector<std::string>> listings;
};

Catalogued Catalogue(const Bytes& contents) {
    const TempTape tape(contents);
    CatalogueTable catalogue;
    EXPECT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
    Catalogued result;
    for (std::size_t i = 0; i < catalogue.RowCount(); ++i) {
        CatalogueRow row = catalogue.Row(i);
        if (row.Tipo == 255) {
            LineVector lines;
            ListBasicProgram(brisalto::ReadTapeDocument(tape.Path()), row.Position,
                             row.Par1.value_or(0), lines);
            result.listings.push_back(lines.lines);
        }
        row.Position = 0;
        row.Offset = 0;
        result.rows.push_back(testing::RowText(row));
    }
    return result;
}

// The same tape as TAP and as TZX: the same rows but for their places, the same programs.
void ExpectTzxCataloguesAsTap(const Bytes& tap) {
    const Bytes tzx = ConvertToTzx(tap);
    ASSERT_FALSE(tzx.empty()) << "tapeconv made no tape";
    const Catalogued fromTap = Catalogue(tap);
    const Catalogued fromTzx = Catalogue(tzx);
    EXPECT_EQ(fromTzx.rows, fromTap.rows);
    EXPECT_EQ(fromTzx.listings, fromTap.listings);
    EXPECT_FALSE(fromTap.listings.empty());
    ExpectScanMatchesTzxlist(tzx, kTzxFraming);
}

class PeerTapes : public ::testing::TestWithParam<std::size_t> {};

TEST_P(PeerTapes, OneProgramAgreesWithTzxlist) {
    const Program& program = Programs()[GetParam()];
    SCOPED_TRACE(program.name);
    const Bytes contents = MakeTape(program);
    ExpectScanMatchesTzxlist(contents);
    // The header must carry what zmakebas was asked for, not just agree with tzxlist.
    const TempTape tape(contents);
    CatalogueTable catalogue;
    ScanTape(tape.Path(), false, catalogue);
    ASSERT_EQ(catalogue.RowCount(), 1u);
    catalogue.First();
    EXPECT_EQ(catalogue.AsString("Name"),
              program.name + std::string(10 - program.name.size(), ' '));
    EXPECT_EQ(catalogue.AsString("TipoStr"), "Program");
}

INSTANTIATE_TEST_SUITE_P(Zmakebas, PeerTapes, ::testing::Range<std::size_t>(0, 4));

TEST(PeerTapes, ConcatenatedTapesAgreeWithTzxlist) {
    Bytes all;
    for (int round = 0; round < 2; ++round) {
        for (const Program& program : Programs()) {
            const Bytes tape = MakeTape(program);
            all.insert(all.end(), tape.begin(), tape.end());
        }
    }
    ASSERT_GT(all.size(), 65536u);
    ExpectScanMatchesTzxlist(all);
    ExpectTzxCataloguesAsTap(all);
}

// tapeconv's TZX tape read block by block into each kind's fields and written again is the same
// file.
TEST_P(PeerTapes, TapeconvTzxIsWrittenAgainAsItWas) {
    const Bytes tzx = ConvertToTzx(MakeTape(Programs()[GetParam()]));
    ASSERT_GT(tzx.size(), 10u) << "tapeconv made no tape";
    Bytes again;
    tzx::WriteTzxSignature(again, tzx[8], tzx[9]);
    std::span<const std::uint8_t> rest = std::span(tzx).subspan(again.size());
    std::size_t blocks = 0;
    while (!rest.empty()) {
        const auto read = tzx::ReadTzxBlock(rest);
        ASSERT_TRUE(read);
        EXPECT_FALSE(std::holds_alternative<tzx::OpaqueBlock>(read->fields));
        ASSERT_TRUE(tzx::WriteTzxBlock(read->fields, again));
        rest = rest.subspan(read->size);
        ++blocks;
    }
    EXPECT_GE(blocks, 2u);
    EXPECT_EQ(again, tzx);
}

TEST_P(PeerTapes, OneProgramAsTzxCataloguesAsTap) {
    ExpectTzxCataloguesAsTap(MakeTape(Programs()[GetParam()]));
}

// The builder's TZX tapes that tzxlist takes (it refuses some IDs, such as 0x16 and 0x18): the
// same bodies in the same order, with the same lengths and header names. tzxlist shows the name
// of a standard speed block's header only.
TEST(PeerTapes, BuiltTzxTapesAgreeWithTzxlist) {
    const Bytes header = {0x00, 0x00, 'h', 'e', 'l', 'l', 'o', ' ', ' ', ' ',
                          ' ',  ' ',  7,   0,   10,  0,   7,   0,   0};
    const Bytes data = {0xFF, 1, 2, 3, 4, 5, 6, 7, 0};
    std::vector<std::pair<std::uint8_t, Bytes>> tapes;  // the block ID each tape shows
    for (const std::uint8_t id : testing::kTzxBodyIds) {
        tapes.emplace_back(id, testing::TzxBuilder().Body(header, id).Body(data, id).Get());
    }
    for (const std::uint8_t id : testing::kTzxOtherIds) {
        tapes.emplace_back(id, testing::TzxBuilder().Body(header).Other(id).Body(data, 0x14).Get());
    }
    std::size_t agreed = 0;
    std::size_t bodies = 0;
    for (const auto& [id, contents] : tapes) {
        SCOPED_TRACE("block ID " + std::to_string(id));
        const TempTape tape(contents, "tape.tzx");
        const std::string listing =
            RunCommand("tzxlist '" + tape.Path() + "' 2>/dev/null; echo \"exit $?\"");
        if (listing.find("exit 0") == std::string::npos) continue;
        const std::vector<ListedBlock> listed = BodyBlocks(ParseTzxlist(listing));
        CatalogueTable catalogue;
        EXPECT_EQ(ScanTape(tape.Path(), true, catalogue), ScanResult::Completed);
        ASSERT_EQ(catalogue.RowCount(), listed.size());
        for (std::size_t i = 0; i < listed.size(); ++i) {
            const CatalogueRow& row = catalogue.Row(i);
            if (row.TipoStr.View() == "Raw Data") {
                EXPECT_EQ(row.Size, listed[i].length - 2) << "body " << i;
            } else {
                EXPECT_EQ(listed[i].length, header.size()) << "body " << i;
                if (listed[i].isHeader()) {
                    EXPECT_EQ(row.Name.View(),
                              std::string(listed[i].raw.begin() + 1, listed[i].raw.begin() + 11));
                }
            }
        }
        ++agreed;
        bodies += listed.size();
    }
    std::cout << "tzxlist took " << agreed << " of " << tapes.size() << " built tapes; " << bodies
              << " bodies compared\n";
    EXPECT_GE(agreed, testing::kTzxBodyIds.size() + 17);
}

}  // namespace
}  // namespace brisalto
