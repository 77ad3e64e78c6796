// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "BasicProgramBytes.h"
#include "DecodeBasicProgram.h"
#include "LineSink.h"

namespace brisalto::testing {
namespace {

using Lines = std::vector<std::string>;

// Token bytes used below.
constexpr std::uint8_t kPrint = 0xF5;
constexpr std::uint8_t kGoTo = 0xEC;
constexpr std::uint8_t kIf = 0xFA;
constexpr std::uint8_t kThen = 0xCB;
constexpr std::uint8_t kRem = 0xEA;
constexpr std::uint8_t kNumber = 0x0E;
constexpr std::uint8_t kInk = 0x10;
constexpr std::uint8_t kAt = 0x16;

struct LineCase {
    const char* what;
    std::uint16_t number;
    Bytes text;  // without the closing 0x0D
    std::string expected;
};

// One well-formed line each; the listing must be exactly the one expected line.
TEST(DecodeBasicProgram, ListsSingleLines) {
    Bytes printable;
    for (int c = 0x20; c <= 0x7E; ++c) printable.push_back(static_cast<std::uint8_t>(c));

    const LineCase cases[] = {
        {"PRINT a", 10, {kPrint, 'a'}, "  10  PRINT a"},
        {"GO TO 10 with its hidden number",
         20,
         {kGoTo, '1', '0', kNumber, 0x00, 0x00, 0x0A, 0x00, 0x00},
         "  20  GO TO 10"},
        {"IF a THEN PRINT", 30, {kIf, 'a', kThen, kPrint}, "  30  IF a THEN  PRINT "},
        {"REM with a UDG", 40, {kRem, 'x', 0x90, 'y'}, "  40  REM x\"+CHR 144+\"y"},
        {"five-digit number cut to four", 12345, {kPrint}, "1234  PRINT "},
        {"line 0", 0, {'a'}, "   0 a"},
        {"line 65535", 65535, {'a'}, "6553 a"},
        {"every printable byte", 1, printable,
         "   1  !\"#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[\\]^_`"
         "abcdefghijklmnopqrstuvwxyz{|}~"},
        {"0x7F as the single byte 0xA9",
         1,
         {'a', 0x7F, 'b'},
         "   1 a\xA9"
         "b"},
        {"SPECTRUM", 1, {0xA3}, "   1  SPECTRUM "},
        {"RND", 1, {0xA5}, "   1  RND "},
        {"DEF FN", 1, {0xCE}, "   1  DEF FN "},
        {"GO TO", 1, {0xEC}, "   1  GO TO "},
        {"PRINT", 1, {0xF5}, "   1  PRINT "},
        {"COPY", 1, {0xFF}, "   1  COPY "},
        {"tokens side by side", 1, {0xF5, 0xF5}, "   1  PRINT  PRINT "},
        {"INK with a colour below 0x20 vanishes", 1, {'a', kInk, 0x03, 'b'}, "   1 ab"},
        {"INK parameter 0x20 or more shows", 1, {'a', kInk, 'A', 'b'}, "   1 aAb"},
        {"AT with parameters below 0x20 vanishes", 1, {kAt, 0x01, 0x1F, 'x'}, "   1 x"},
        {"AT parameters 0x20 or more show", 1, {kAt, ' ', '5', 'x'}, "   1  5x"},
        {"other control bytes vanish",
         1,
         {0x00, 'a', 0x06, 0x08, 'b', 0x0D, 0x1F, 'c'},
         "   1 abc"},
        {"hidden number skips five printable bytes",
         1,
         {'1', kNumber, 'A', 'B', 'C', 'D', 'E', 'f'},
         "   1 1f"},
        {"0x0E inside a string literal still skips five",
         1,
         {'"', kNumber, 'a', 'b', 'c', 'd', 'e', 'f', '"'},
         "   1 \"f\""},
        {"hidden number up to the closing byte", 1, {'7', kNumber, 0, 0, 7, 0, 0}, "   1 7"},
        {"empty text", 5, {}, "   5 "},
    };
    for (const LineCase& c : cases) {
        EXPECT_EQ(DecodeProgram(StoredLine(c.number, c.text)), Lines{c.expected}) << c.what;
    }
}

TEST(DecodeBasicProgram, ShowsGraphicsBytesAsCharacterCodes) {
    for (int c = 0x80; c <= 0xA2; ++c) {
        const Bytes text{'a', static_cast<std::uint8_t>(c), 'b'};
        EXPECT_EQ(DecodeProgram(StoredLine(7, text)),
                  Lines{"   7 a\"+CHR " + std::to_string(c) + "+\"b"})
            << "byte " << c;
    }
}

struct ProgramCase {
    const char* what;
    Bytes program;
    Lines expected;
};

// Whole programs, well-formed or lying about their lengths; every listing must end and show
// exactly these lines.
TEST(DecodeBasicProgram, ListsWholePrograms) {
    const Bytes line20 = StoredLine(20, {kPrint});
    const ProgramCase cases[] = {
        {"lengths add up to the program length",
         Concat({StoredLine(10, {'a'}), StoredLine(20, {'b'}), StoredLine(30, {'c'})}),
         {"  10 a", "  20 b", "  30 c"}},
        {"no program", {}, {}},
        {"line length 0: number only, next line 4 bytes on",
         Concat({StoredLine(10, {}, 0), line20}),
         {"  10 ", "  20  PRINT "}},
        {"line length 1: just the closing byte",
         Concat({StoredLine(10, {0x0D}, 1), line20}),
         {"  10 ", "  20  PRINT "}},
        {"a line's final byte is not shown even when printable",
         Concat({StoredLine(10, Text("abZ"), 3), line20}),
         {"  10 ab", "  20  PRINT "}},
        {"hidden number skip passing the line's end ends that line only",
         Concat({StoredLine(10, {'a', kNumber, 'b', 'c'}), line20}),
         {"  10 a", "  20  PRINT "}},
        {"hidden number skip passing the bytes read ends the listing",
         Concat({StoredLine(10, {'a'}), StoredLine(20, {'b', kNumber, 'c'})}),
         {"  10 a", "  20 b"}},
        {"line running past the bytes read: decoded up to the last one, then stop",
         Concat({StoredLine(10, {'a'}), StoredLine(20, Text("PRINT"), 200)}),
         {"  10 a", "  20 PRIN"}},
        {"line length 65535", StoredLine(10, Text("abc"), 0xFFFF), {"  10 ab"}},
        {"line length that would wrap a 16-bit total",
         Concat({StoredLine(10, {'a'}), StoredLine(20, Text("bcd"), 65530)}),
         {"  10 a", "  20 bc"}},
        {"fewer than 4 bytes left for the next line",
         Concat({StoredLine(10, {'a'}), Bytes{0x00, 0x14, 0x05}}),
         {"  10 a"}},
        {"a lone line number and length",
         Concat({StoredLine(10, {'a'}), Bytes{0x00, 0x14, 0x05, 0x00}}),
         {"  10 a"}},
    };
    for (const ProgramCase& c : cases) {
        EXPECT_EQ(DecodeProgram(c.program), c.expected) << c.what;
    }
}

// One line as the Block View's BASIC tab spells it, as the Spectrum lists it.
std::string SpectrumLine(const Bytes& text) {
    const Bytes program = StoredLine(10, text);
    Bytes block = {0xFF};
    block.insert(block.end(), program.begin(), program.end());
    LineVector lines;
    std::vector<HiddenNumber> hidden;
    DecodeBasicProgram(block, std::uint16_t(block.size()), lines, hidden, BasicSpelling::Spectrum);
    return lines.lines.size() == 1 ? lines.lines.front() : "(not one line)";
}

TEST(DecodeBasicProgram, SpellsAsTheSpectrumListsInTheSpectrumSpelling) {
    Bytes blocks = {kRem};
    for (std::uint8_t c = 0x80; c <= 0x8F; ++c) blocks.push_back(c);
    const LineCase cases[] = {
        {"a command, then a function", 10, {0xF9, 0xC0, '3', '2'}, "  10 RANDOMIZE USR 32"},
        {"THEN before a command", 10, {kIf, 'a', kThen, kGoTo, '1'}, "  10 IF a THEN GO TO 1"},
        {"a command after a colon", 10, {0xFB, ':', kPrint}, "  10 CLS : PRINT "},
        // No keyword first: the line number and the text meet, as the ROM lists them.
        {"operators and PI: no spaces", 10, {'a', 0xC7, 'b', '*', 0xA7}, "  10a<=b*PI"},
        {"INKEY$ none after, CHR$ one",
         10,
         {kPrint, 0xA6, '+', 0xC2, '6'},
         "  10 PRINT INKEY$+CHR$ 6"},
        {"OPEN # none after", 10, {0xD3, '3'}, "  10 OPEN #3"},
        {"block graphics in a REM", 10, blocks, "  10 REM  ▝▘▀▗▐▚▜▖▞▌▛▄▟▙█"},
        {"UDGs A and S in a string", 10, {kPrint, '"', 0x90, 0xA2, '"'}, "  10 PRINT \"\\A\\S\""},
        {"up arrow, pound, copyright", 10, {'^', '`', 0x7F}, "  10↑£©"},
    };
    for (const LineCase& c : cases) EXPECT_EQ(SpectrumLine(c.text), c.expected) << c.what;
}

}  // namespace
}  // namespace brisalto::testing
