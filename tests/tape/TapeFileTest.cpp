// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <ostream>
#include <span>
#include <string>
#include <utility>
#include <vector>

#include "InOutError.h"
#include "TapeBuilder.h"
#include "TapeFile.h"
#include "TempTape.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::TempTape;

TEST(InOutMessage, ByCode) {
    const std::vector<std::pair<int, std::string>> cases = {{2, "File not found"},
                                                            {3, "Invalid filename"},
                                                            {4, "Too many open files"},
                                                            {5, "File access denied"},
                                                            {100, "Read beyond end of file"},
                                                            {101, "Disk full"},
                                                            {106, "Invalid numeric input"},
                                                            {0, "I/O error 0"},
                                                            {1, "I/O error 1"},
                                                            {6, "I/O error 6"},
                                                            {28, "I/O error 28"},
                                                            {102, "I/O error 102"},
                                                            {1117, "I/O error 1117"}};
    for (const auto& [code, message] : cases) {
        EXPECT_EQ(InOutMessage(code), message);
        const InOutError error(code);
        EXPECT_EQ(error.Code(), code);
        EXPECT_STREQ(error.what(), message.c_str());
    }
}

// A byte pattern that does not repeat every 256 bytes nor every 64 KiB, so that a read from the
// wrong place cannot match by chance.
std::uint8_t PatternAt(std::uint64_t position) {
    return static_cast<std::uint8_t>(position ^ (position >> 8) ^ (position >> 16) ^ 0x5A);
}

constexpr std::size_t kPatternSize = 200000;  // three 64 KiB read-aheads and a bit

Bytes PatternFile() {
    Bytes bytes(kPatternSize);
    for (std::size_t i = 0; i < bytes.size(); ++i) bytes[i] = PatternAt(i);
    return bytes;
}

struct Step {
    enum Kind { Exact, Some, Skip, Seek, AtEnd } kind;
    std::uint64_t amount;    // bytes to read or pass over, or the position to move to
    std::uint64_t expected;  // bytes that must arrive or be passed, or 1/0 for the end test
};

struct ReadCase {
    const char* label;
    std::vector<Step> steps;
};

// Names the case in test listings instead of dumping its bytes.
void PrintTo(const ReadCase& c, std::ostream* os) {
    *os << c.label;
}

class TapeFileReads : public ::testing::TestWithParam<ReadCase> {};

// Each step's bytes must be the file's bytes at the position the previous steps reached.
TEST_P(TapeFileReads, DeliverTheFileBytesInOrder) {
    static const TempTape tape(PatternFile());
    TapeFile file(tape.Path());
    std::uint64_t position = 0;
    for (const Step& step : GetParam().steps) {
        SCOPED_TRACE("at position " + std::to_string(position));
        switch (step.kind) {
            case Step::Seek:
                file.Seek(step.amount);
                position = step.amount;
                break;
            case Step::AtEnd: EXPECT_EQ(file.AtEnd(), step.expected == 1); break;
            case Step::Skip:
                ASSERT_EQ(file.Skip(step.amount), step.expected);
                position += step.expected;
                break;
            case Step::Exact:
            case Step::Some: {
                Bytes got(step.amount, 0xEE);
                if (step.kind == Step::Some) {
                    ASSERT_EQ(file.ReadSome(std::span(got)), step.expected);
                } else {
                    file.ReadExact(std::span(got));
                }
                for (std::size_t i = 0; i < step.expected; ++i) {
                    ASSERT_EQ(got[i], PatternAt(position + i)) << "byte " << i;
                }
                position += step.expected;
            }
        }
        ASSERT_EQ(file.Position(), position);
    }
}

using K = Step::Kind;

INSTANTIATE_TEST_SUITE_P(
    Boundaries, TapeFileReads,
    ::testing::Values(
        ReadCase{"SmallReadsAcrossFirstBoundary",
                 {{K::Exact, 65534, 65534}, {K::Exact, 2, 2}, {K::Exact, 2, 2}}},
        ReadCase{"OneByteThenWholeReadAhead", {{K::Exact, 1, 1}, {K::Exact, 65536, 65536}}},
        ReadCase{"LargeReadFirstThenSmall",
                 {{K::Exact, 65536, 65536}, {K::Exact, 3, 3}, {K::Some, 70000, 70000}}},
        ReadCase{"OneReadOverSeveralBoundaries", {{K::Some, 131077, 131077}, {K::Exact, 2, 2}}},
        ReadCase{"EndTestDoesNotLoseBytes",
                 {{K::AtEnd, 0, 0}, {K::Exact, 65536, 65536}, {K::AtEnd, 0, 0}, {K::Exact, 5, 5}}},
        ReadCase{"SeekAcrossBoundary", {{K::Seek, 65530, 0}, {K::Exact, 10, 10}}},
        ReadCase{"SeekBackAfterReading",
                 {{K::Exact, 100000, 100000}, {K::Seek, 3, 0}, {K::Exact, 65535, 65535}}},
        ReadCase{"ShortReadAtEnd",
                 {{K::Seek, kPatternSize - 10, 0},
                  {K::AtEnd, 0, 0},
                  {K::Some, 20, 10},
                  {K::AtEnd, 0, 1},
                  {K::Some, 4, 0}}},
        ReadCase{"WholeFileInOddChunks",
                 {{K::Some, 65501, 65501},
                  {K::Some, 65501, 65501},
                  {K::Some, 65501, 65501},
                  {K::Some, 65501, kPatternSize - 3 * 65501},
                  {K::AtEnd, 0, 1}}},
        ReadCase{"SkipsAcrossBoundariesAndStopsAtTheEnd",
                 {{K::Exact, 3, 3},
                  {K::Skip, 65534, 65534},
                  {K::Exact, 4, 4},
                  {K::Skip, 70000, 70000},
                  {K::Some, 2, 2},
                  {K::Skip, 1ull << 32, kPatternSize - 3 - 65534 - 4 - 70000 - 2},
                  {K::AtEnd, 0, 1},
                  {K::Skip, 5, 0}}},
        ReadCase{"SeekPastEnd",
                 {{K::Seek, kPatternSize + 7, 0}, {K::AtEnd, 0, 1}, {K::Some, 1, 0}}}),
    [](const auto& testInfo) { return std::string(testInfo.param.label); });

// The bytes that were there are consumed, and the failure says why.
TEST(TapeFileReads, ExactReadPastEndFails) {
    const TempTape tape(Bytes{1, 2, 3});
    TapeFile file(tape.Path());
    std::vector<std::uint8_t> got(4);
    try {
        file.ReadExact(std::span(got));
        FAIL() << "no failure";
    } catch (const InOutError& error) {
        EXPECT_EQ(error.Code(), 100);
        EXPECT_STREQ(error.what(), "Read beyond end of file");
    }
    EXPECT_EQ(file.Position(), 3u);
    EXPECT_TRUE(file.AtEnd());
}

}  // namespace
}  // namespace brisalto
