// SPDX-License-Identifier: GPL-3.0-or-later
// The player's samples: the WAV file's own, made piece by piece, between a lead-in and a drain of
// silence, the deck standing at the tape's stop blocks after a closing edge, and the rows heard in
// the tape's order.
#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "SoundSamples.h"
#include "TapeDocument.h"
#include "TapePlayback.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace {

namespace bt = brisalto::testing;
using brisalto::SoundFormat;
using brisalto::TapePlayback;
using bt::Bytes;

struct StopCase {
    const char* name;
    Bytes stop;  // the block between the two parts
};

class PlaybackStops : public ::testing::TestWithParam<StopCase> {};

// Two parts of a header and its data each, the given stop block between them.
TEST_P(PlaybackStops, StandsAtTheStopAndGivesTheWavsSamples) {
    const Bytes part1 = bt::TapeBuilder().Header(3, "one", 3, 32768).Data({1, 2, 3}).Get();
    const Bytes part2 = bt::TapeBuilder().Header(3, "two", 2, 40000).Data({4, 5}).Get();
    const bt::TempTape tape(
        bt::TzxBuilder().FromTap(part1).Raw(GetParam().stop).FromTap(part2).Get(), "two.tzx");
    const brisalto::TapeSoundBytes bytes =
        brisalto::ReadTapeSoundBytes(brisalto::ReadTapeDocument(tape.Path()));
    ASSERT_EQ(bytes.rowPositions.size(), 4u);
    const Bytes file = bt::ReadWholeFile(tape.Path());
    EXPECT_EQ(file.at(bytes.rowPositions[0]), 0x00);  // a header's flag
    EXPECT_EQ(file.at(bytes.rowPositions[1]), 0xFF);  // a data block's

    bt::MemorySink wav;
    brisalto::WavSound(bytes, SoundFormat{}).Write(wav);
    TapePlayback playback(bytes, SoundFormat{});
    // Two lead-ins of two seconds each, and the stop's closing edge and drain, besides the WAV's
    // samples.
    ASSERT_EQ(brisalto::CountPlaybackSamples(bytes, SoundFormat{}) + 44 - 88 - 5 * 44'100,
              wav.Bytes().size());

    // Pieces of an odd size, the rows asked for after each, as a player's timer would.
    std::vector<std::uint8_t> played;
    std::vector<std::uint64_t> rowsHeard;
    std::vector<std::uint64_t> stops;
    std::vector<std::uint8_t> piece(777);
    while (!playback.Ended()) {
        const std::size_t filled = playback.Read(piece);
        played.insert(played.end(), piece.begin(), piece.begin() + std::ptrdiff_t(filled));
        const std::optional<std::uint64_t> row = playback.RowPositionAt(playback.SamplesMade());
        if (row && (rowsHeard.empty() || rowsHeard.back() != *row)) rowsHeard.push_back(*row);
        if (playback.AtStop()) {
            ASSERT_EQ(playback.Read(piece), 0u);  // the deck stands until told to go on
            stops.push_back(playback.SamplesMade());
            playback.PassStop();
        }
    }
    ASSERT_EQ(stops.size(), 1u);
    EXPECT_EQ(rowsHeard, bytes.rowPositions);
    // The WAV file's samples, with the closing edge (1 ms high, 1 ms low) in front of the stop, a
    // second's drain after it, two seconds' lead-in of silence before each part and a second's
    // drain after the end.
    const std::uint64_t half = brisalto::StopClosingSamples(SoundFormat{});
    ASSERT_EQ(half, 44u);
    const std::uint64_t second = 44'100;
    const std::uint64_t leadIn = 2 * second;
    ASSERT_EQ(brisalto::LeadInSamples(SoundFormat{}), leadIn);
    ASSERT_EQ(brisalto::DrainSamples(SoundFormat{}), second);
    const auto before = std::ptrdiff_t(44 + stops[0] - leadIn - 2 * half - second);
    Bytes expected(leadIn, 0x00);
    expected.insert(expected.end(), wav.Bytes().begin() + 44, wav.Bytes().begin() + before);
    expected.insert(expected.end(), half, 0xFF);
    expected.insert(expected.end(), half + second + leadIn, 0x00);
    expected.insert(expected.end(), wav.Bytes().begin() + before, wav.Bytes().end());
    expected.insert(expected.end(), second, 0x00);
    EXPECT_EQ(played, expected);
    EXPECT_EQ(playback.SamplesMade(),
              brisalto::CountPlaybackSamples(bytes, SoundFormat{}) + second);
    // The stop stands after the first part's data and its pause: the first part alone ends with
    // its closing edge too (2 ms, 88.2 samples counted in T-states), after the lead-in and before
    // the drain.
    const brisalto::WavSound first(
        brisalto::TapeSoundBytes{bt::TzxBuilder().FromTap(part1).Get(), true}, SoundFormat{});
    EXPECT_NEAR(double(leadIn + first.Samples() + second) - double(stops[0]), 0.0, 1.0);
}

INSTANTIATE_TEST_SUITE_P(
    StopBlocks, PlaybackStops,
    ::testing::Values(StopCase{"PauseOfNoLength", {0x20, 0x00, 0x00}},
                      StopCase{"StopIn48KMode", {0x2A, 0x00, 0x00, 0x00, 0x00}}),
    [](const ::testing::TestParamInfo<StopCase>& stop) { return std::string(stop.param.name); });

}  // namespace
