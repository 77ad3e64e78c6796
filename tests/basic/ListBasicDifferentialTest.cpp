// SPDX-License-Identifier: GPL-3.0-or-later
// Our lister against listbasic (fuse-emulator-utils) on programs that zmakebas builds from
// generated BASIC text. Neither peer was written here, so agreement is evidence, not an echo.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "BasicKeywords.h"
#include "TapeDocument.h"
#include "BasicProgramGenerator.h"
#include "CatalogueTable.h"
#include "DecodeBasicProgram.h"
#include "LineSink.h"
#include "ListBasicProgram.h"
#include "RunCommand.h"
#include "ScanTape.h"
#include "ZxCharacters.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

constexpr std::uint32_t kSeed = 20261208;
constexpr int kProgramCount = 60;

std::vector<std::string> SplitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::size_t begin = 0;
    while (begin < text.size()) {
        std::size_t end = text.find('\n', begin);
        if (end == std::string::npos) end = text.size();
        lines.push_back(text.substr(begin, end - begin));
        begin = end + 1;
    }
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

std::string WithoutSpaces(std::string_view text) {
    std::string result;
    for (const char c : text) {
        if (c != ' ') result += c;
    }
    return result;
}

std::string CharacterCode(int code) {
    return "\"+CHR " + std::to_string(code) + "+\"";
}

// The normalisation that makes the two listings comparable:
//  1. listbasic's escapes become our renderings of the same byte: "\*" (0x7F) our single byte
//     0xA9; "\\" a backslash; "\a".."\s" (0x90..0xA2) and "\" with a two-character drawing
//     (0x80..0x8F: left column then right, ' top, . bottom, : both, space neither) our
//     "+CHR n+" with quotation marks around.
//  2. Every space goes, in both listings: listbasic right-aligns line numbers in five columns
//     and spaces keywords the way the Spectrum does, we in four and with a space on each side;
//     our exact spacing is checked by the unit tests.
// Nothing else needs changing because the generator keeps away from what the two render
// differently by design: colour-code parameters of 0x20 or more or equal to 0x0E (listbasic
// drops INK..OVER with one parameter and AT/TAB with two, we drop every byte below 0x20 and
// skip five after 0x0E), and 0x0C or 0x7B..0x7F at a statement's start (Timex keywords there).
std::string NormaliseListbasicLine(std::string_view line) {
    std::string text;
    for (std::size_t i = 0; i < line.size(); ++i) {
        if (line[i] != '\\' || i + 1 == line.size()) {
            text += line[i];
            continue;
        }
        const char next = line[++i];
        if (next == '*') {
            text += '\xA9';
        } else if (next == '\\') {
            text += '\\';
        } else if (next >= 'a' && next <= 's') {
            text += CharacterCode(0x90 + (next - 'a'));
        } else if (i + 1 < line.size()) {
            const auto column = [](char drawing, int top, int bottom) {
                return (drawing == '\'' || drawing == ':' ? top : 0) +
                       (drawing == '.' || drawing == ':' ? bottom : 0);
            };
            text += CharacterCode(0x80 + column(next, 2, 8) + column(line[i + 1], 1, 4));
            ++i;
        } else {
            ADD_FAILURE() << "unknown listbasic escape in: " << line;
        }
    }
    return WithoutSpaces(text);
}

// What the generated programs held, to show that they reach every case.
struct Coverage {
    std::array<bool, 256> used{};  // byte values met in line texts, hidden numbers left out
    std::size_t longestLine = 0;   // the largest line length L met
};

void NoteCoverage(const Bytes& tape, const CatalogueRow& row, Coverage& coverage) {
    const std::size_t begin = static_cast<std::size_t>(row.Position) + 1;
    const std::size_t end = begin + row.Par1.value_or(0);
    ASSERT_LE(end, tape.size());
    for (std::size_t p = begin; p + 4 <= end;) {
        const std::size_t lineLength = std::size_t(tape[p + 2]) | std::size_t(tape[p + 3]) << 8;
        coverage.longestLine = std::max(coverage.longestLine, lineLength);
        const std::size_t textEnd = p + 4 + lineLength - 1;
        for (std::size_t i = p + 4; i < textEnd && i < end; ++i) {
            coverage.used[tape[i]] = true;
            if (tape[i] == 0x0E) i += 5;
        }
        p = textEnd + 1;
    }
}

void RequireTool(const std::string& name) {
    ASSERT_FALSE(RunCommand("command -v " + name).empty()) << name << " is not installed";
}

TEST(ListBasicDifferential, GeneratedProgramsListAsListbasicDoes) {
    RequireTool("zmakebas");
    RequireTool("listbasic");

    BasicProgramGenerator generator(kSeed);
    Coverage coverage;
    for (int n = 0; n < kProgramCount; ++n) {
        const std::string source = generator.Program();
        const TempTape basic(Bytes(source.begin(), source.end()), "program.bas");
        const std::string tape = basic.Folder() + "/program.tap";
        // zmakebas warns when it meets text it does not mean to take: none may be generated.
        EXPECT_EQ(RunCommand("zmakebas -o '" + tape + "' '" + basic.Path() + "' 2>&1 </dev/null"),
                  "")
            << source;

        CatalogueTable catalogue;
        ASSERT_EQ(ScanTape(tape, true, catalogue), ScanResult::Completed) << source;
        ASSERT_EQ(catalogue.RowCount(), 2u) << source;
        const CatalogueRow& row = catalogue.Row(1);
        ASSERT_EQ(row.Tipo, 255);
        LineVector ours;
        ListBasicProgram(brisalto::ReadTapeDocument(tape), row.Position, row.Par1.value(), ours);
        NoteCoverage(ReadWholeFile(tape), row, coverage);

        const std::vector<std::string> theirs = SplitLines(RunCommand("listbasic '" + tape + "'"));
        ASSERT_EQ(ours.lines.size(), theirs.size()) << "program " << n << ":\n" << source;
        for (std::size_t i = 0; i < theirs.size(); ++i) {
            EXPECT_EQ(WithoutSpaces(ours.lines[i]), NormaliseListbasicLine(theirs[i]))
                << "program " << n << ", line " << i << "\n ours:      " << ours.lines[i]
                << "\n listbasic: " << theirs[i];
        }
    }

    for (std::size_t k = 0; k < BasicKeywords.size(); ++k) {
        EXPECT_TRUE(coverage.used[kFirstKeywordToken + k])
            << "never generated: " << BasicKeywords[k];
    }
    for (const int byte :
         {0x0C, 0x5C, 0x7B, 0x7E, 0x7F, 0x80, 0x8F, 0x90, 0xA2, 0x10, 0x15, 0x16, 0x17}) {
        EXPECT_TRUE(coverage.used[static_cast<std::size_t>(byte)])
            << "never generated: byte " << byte;
    }
    EXPECT_GT(coverage.longestLine, 255u) << "no line long enough to need a high length byte";
}

// listbasic's line in the Block View's spelling, spaces kept: listbasic spaces keywords as the
// Spectrum lists them, and so does that spelling. Its escapes become the characters the views
// print (SpectrumCharacter): "\*" ©, "\\" a backslash, "\a".."\s" \A..\S, a two-character
// drawing its quadrant character; ^ and ` are the Spectrum's up arrow and pound. Its line
// number takes five columns, ours four.
std::string ListbasicInViewSpelling(std::string_view line) {
    std::string text;
    for (std::size_t i = line.starts_with(' ') ? 1 : 0; i < line.size(); ++i) {
        if (line[i] == '^' || line[i] == '`') {
            text += SpectrumCharacter(static_cast<std::uint8_t>(line[i]));
        } else if (line[i] != '\\' || i + 1 == line.size()) {
            text += line[i];
        } else if (const char next = line[++i]; next == '*' || next == '\\') {
            text += next == '*' ? "©" : "\\";
        } else if (next >= 'a' && next <= 's') {
            text += SpectrumCharacter(static_cast<std::uint8_t>(0x90 + (next - 'a')));
        } else if (i + 1 < line.size()) {
            const auto column = [](char drawing, int top, int bottom) {
                return (drawing == '\'' || drawing == ':' ? top : 0) +
                       (drawing == '.' || drawing == ':' ? bottom : 0);
            };
            text += SpectrumCharacter(static_cast<std::uint8_t>(0x80 + column(next, 2, 8) +
                                                                column(line[i + 1], 1, 4)));
            ++i;
        }
    }
    return text;
}

TEST(ListBasicDifferential, ViewSpellingSpacesAsListbasicDoes) {
    RequireTool("zmakebas");
    RequireTool("listbasic");
    BasicProgramGenerator generator(kSeed + 1);
    for (int n = 0; n < kProgramCount; ++n) {
        const std::string source = generator.Program();
        const TempTape basic(Bytes(source.begin(), source.end()), "program.bas");
        const std::string tape = basic.Folder() + "/program.tap";
        RunCommand("zmakebas -o '" + tape + "' '" + basic.Path() + "' 2>&1 </dev/null");
        const Bytes bytes = ReadWholeFile(tape);
        ASSERT_GT(bytes.size(), 23u) << source;
        // The data block after the 21 bytes of the header's, from its flag.
        const Bytes block(bytes.begin() + 23, bytes.end());
        LineVector ours;
        std::vector<HiddenNumber> hidden;
        DecodeBasicProgram(block, std::uint16_t(block.size() - 1), ours, hidden,
                           BasicSpelling::Spectrum);
        const std::vector<std::string> theirs = SplitLines(RunCommand("listbasic '" + tape + "'"));
        ASSERT_EQ(ours.lines.size(), theirs.size()) << "program " << n << ":\n" << source;
        for (std::size_t i = 0; i < theirs.size(); ++i) {
            EXPECT_EQ(ours.lines[i], ListbasicInViewSpelling(theirs[i]))
                << "program " << n << ", line " << i << "\n listbasic: " << theirs[i];
        }
    }
}

}  // namespace
}  // namespace brisalto::testing
