// SPDX-License-Identifier: GPL-3.0-or-later
// The sound against the field's own tools: audio2tape reads Brisalto's WAV files back into the
// tape's blocks, and tape2wav's WAV files have the same pulses.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "CatalogueTable.h"
#include "RunCommand.h"
#include "ScanTape.h"
#include "SoundSamples.h"
#include "TapeDocument.h"
#include "TapeSoundBytes.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace {

namespace bt = brisalto::testing;
using bt::Bytes;

const std::string kData = BRISALTO_TEST_DATA;
const std::string kBasic = BRISALTO_BASIC_DATA;

// Makes a tape in folder and returns its path.
using MakeTape = std::function<std::string(const std::string& folder)>;

std::string Zmakebas(const std::string& folder, const std::string& name) {
    const std::string tape = folder + "/" + name + ".tap";
    bt::RunCommand("zmakebas -o '" + tape + "' '" + kBasic + "/" + name + ".bas'");
    return tape;
}

std::string Tapeconv(const std::string& tap) {
    const std::string tzx = tap + ".tzx";
    bt::RunCommand("tapeconv '" + tap + "' '" + tzx + "'");
    return tzx;
}

std::string Written(const std::string& folder, const Bytes& bytes, const std::string& name) {
    const std::string path = folder + "/" + name;
    FILE* file = std::fopen(path.c_str(), "wb");
    std::fwrite(bytes.data(), 1, bytes.size(), file);
    std::fclose(file);
    return path;
}

Bytes DataBody(std::uint8_t first, std::size_t count) {
    Bytes data{0xFF};
    for (std::size_t i = 0; i < count; ++i) data.push_back(static_cast<std::uint8_t>(first + i));
    return bt::WithChecksum(data);
}

// The tape's rows, and its bytes.
struct ScannedTape {
    brisalto::CatalogueTable table;
    Bytes bytes;
    bool tzx = false;
};

void Scan(const std::string& path, ScannedTape& tape) {
    brisalto::ScanTape(path, true, tape.table);
    tape.bytes = bt::ReadWholeFile(path);
    tape.tzx = tape.bytes.size() > 8 && tape.bytes[0] == 'Z' && tape.bytes[7] == 0x1A;
}

Bytes Body(const ScannedTape& tape, std::size_t row) {
    const brisalto::CatalogueRow& r = tape.table.Row(row);
    return Bytes(tape.bytes.begin() + static_cast<std::ptrdiff_t>(r.Position),
                 tape.bytes.begin() + static_cast<std::ptrdiff_t>(r.Position + r.Length));
}

// The bodies of the tape's blocks (flag, data, checksum), from row first on.
std::vector<Bytes> Bodies(const std::string& path, std::size_t first = 0) {
    ScannedTape tape;
    Scan(path, tape);
    std::vector<Bytes> bodies;
    for (std::size_t row = first; row < tape.table.RowCount(); ++row)
        bodies.push_back(Body(tape, row));
    return bodies;
}

struct ReadBackCase {
    const char* name;
    MakeTape make;
    std::optional<std::size_t> fromRow;
};

class ReadBack : public ::testing::TestWithParam<ReadBackCase> {};

// audio2tape reads the sound back into the tape's blocks from the row on, byte for byte, the
// last one included.
TEST_P(ReadBack, GivesTheTapesBlocks) {
    const bt::TempTape scratch(Bytes{}, "unused");
    const std::string tape = GetParam().make(scratch.Folder());
    const std::string wav = scratch.Folder() + "/sound.wav";
    const std::string back = scratch.Folder() + "/back.tzx";
    bt::WriteWavFile(
        brisalto::ReadTapeSoundBytes(brisalto::ReadTapeDocument(tape), GetParam().fromRow), wav);
    bt::RunCommand("audio2tape '" + wav + "' '" + back + "' 2>&1");

    const std::vector<Bytes> expected = Bodies(tape, GetParam().fromRow.value_or(0));
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(Bodies(back), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Tapes, ReadBack,
    ::testing::Values(
        ReadBackCase{"Loading", [](const std::string&) { return kData + "/loading.tap"; }, {}},
        ReadBackCase{"LoadingFromRow2", [](const std::string&) { return kData + "/loading.tap"; },
                     1},
        ReadBackCase{
            "ZmakebasLoader", [](const std::string& f) { return Zmakebas(f, "loader"); }, {}},
        ReadBackCase{
            "ZmakebasNumbers", [](const std::string& f) { return Zmakebas(f, "numbers"); }, {}},
        ReadBackCase{"TapeconvLoading",
                     [](const std::string& f) {
                         return Tapeconv(
                             Written(f, bt::ReadWholeFile(kData + "/loading.tap"), "loading.tap"));
                     },
                     {}},
        ReadBackCase{"TapeconvNumbersFromRow2",
                     [](const std::string& f) { return Tapeconv(Zmakebas(f, "numbers")); }, 1},
        // Turbo blocks at the ROM's timings, between tones and pauses.
        ReadBackCase{"TurboBetweenTonesAndPauses",
                     [](const std::string& f) {
                         return Written(f,
                                        bt::TzxBuilder()
                                            .Body(DataBody(1, 40), 0x11)
                                            .Other(0x12)
                                            .Other(0x20)
                                            .Body(DataBody(7, 300), 0x11)
                                            .Get(),
                                        "turbo.tzx");
                     },
                     {}}),
    [](const ::testing::TestParamInfo<ReadBackCase>& tested) {
        return std::string(tested.param.name);
    });

constexpr double kTstatesPerSample = 3'500'000.0 / 44'100;
// tape2wav's sample is a whole number of T-states.
constexpr double kTape2wavTstatesPerSample = 79;
// Each side rounds each pulse to a sample.
constexpr double kTolerance = kTstatesPerSample + kTape2wavTstatesPerSample + 1;

// Where the pulses of ours and tape2wav's first differ, or nothing. A pause of ours is 1 ms at
// the level opposite to the last pulse's and the rest low, tape2wav's one pulse: both of ours
// stand for its one. tape2wav's last pulse, the end of the sound, is left out.
std::optional<std::size_t> FirstDifference(const std::vector<bt::Pulse>& ours,
                                           const std::vector<bt::Pulse>& theirs) {
    // Ours starts with 1 ms low before the first edge; tape2wav's starts in its first pulse.
    std::size_t i = !ours.empty() && !ours[0].high && theirs[0].high ? 1 : 0;
    for (std::size_t j = 0; j + 1 < theirs.size(); ++j) {
        if (i >= ours.size()) return j;
        const double their = double(theirs[j].samples) * kTape2wavTstatesPerSample;
        const double our = double(ours[i].samples) * kTstatesPerSample;
        if (std::abs(our - their) <= kTolerance) {
            ++i;
        } else if (i + 1 < ours.size() &&
                   std::abs(our + double(ours[i + 1].samples) * kTstatesPerSample - their) <=
                       kTolerance) {
            i += 2;
        } else {
            return j;
        }
    }
    return std::nullopt;
}

struct PulseCase {
    const char* name;
    MakeTape make;
};

class AgainstTape2wav : public ::testing::TestWithParam<PulseCase> {};

TEST_P(AgainstTape2wav, HasTheSamePulses) {
    const bt::TempTape scratch(Bytes{}, "unused");
    const std::string tape = GetParam().make(scratch.Folder());
    const std::string ours = scratch.Folder() + "/ours.wav";
    const std::string theirs = scratch.Folder() + "/theirs.wav";
    bt::WriteWavFile(brisalto::ReadTapeSoundBytes(brisalto::ReadTapeDocument(tape)), ours);
    bt::RunCommand("tape2wav '" + tape + "' '" + theirs + "'");

    const auto ourPulses = bt::WavPulses(bt::ReadWholeFile(ours));
    const auto theirPulses = bt::WavPulses(bt::ReadWholeFile(theirs));
    ASSERT_GT(theirPulses.size(), 2u);
    const auto difference = FirstDifference(ourPulses, theirPulses);
    EXPECT_FALSE(difference.has_value())
        << "tape2wav's pulse " << *difference << " of " << theirPulses.size() << ": "
        << theirPulses[*difference].samples << " samples";
}

// A TZX tape of a standard-speed block, the blocks given, and a turbo block.
MakeTape Tzx(const std::string& name, const Bytes& blocks) {
    return [name, blocks](const std::string& folder) {
        return Written(
            folder,
            bt::TzxBuilder().Body(DataBody(1, 20)).Raw(blocks).Body(DataBody(9, 30), 0x11).Get(),
            name + ".tzx");
    };
}

Bytes Ids(std::initializer_list<std::uint8_t> ids) {
    Bytes blocks;
    for (const std::uint8_t id : ids) {
        const Bytes block = bt::TzxOtherBlock(id);
        blocks.insert(blocks.end(), block.begin(), block.end());
    }
    return blocks;
}

INSTANTIATE_TEST_SUITE_P(
    Tapes, AgainstTape2wav,
    ::testing::Values(PulseCase{"Tap", [](const std::string&) { return kData + "/loading.tap"; }},
                      PulseCase{"TapeconvTzx",
                                [](const std::string& f) {
                                    return Tapeconv(
                                        Written(f, bt::ReadWholeFile(kData + "/loading.tap"),
                                                "loading.tap"));
                                }},
                      PulseCase{"StandardSpeed", Tzx("standard", bt::TzxBodyBlock(DataBody(3, 5)))},
                      PulseCase{"PureData", Tzx("pure", bt::TzxBodyBlock(DataBody(3, 5), 0x14))},
                      PulseCase{"PureTone", Tzx("tone", Ids({0x12}))},
                      PulseCase{"PulseSequence", Tzx("pulses", Ids({0x13}))},
                      PulseCase{"DirectRecording", Tzx("direct", Ids({0x15}))},
                      PulseCase{"GeneralizedData", Tzx("generalized", Ids({0x19}))},
                      PulseCase{"Pause", Tzx("pause", Ids({0x20}))},
                      PulseCase{"Group", Tzx("group", Ids({0x21, 0x12, 0x22}))},
                      PulseCase{"Loop", Tzx("loop", Ids({0x24, 0x12, 0x13, 0x25}))},
                      PulseCase{"Jump", Tzx("jump", Ids({0x23, 0x12, 0x13}))},
                      PulseCase{"Stop48", Tzx("stop48", Ids({0x2A}))},
                      PulseCase{"SignalLevel", Tzx("level", Ids({0x2B, 0x13}))}),
    [](const ::testing::TestParamInfo<PulseCase>& tested) {
        return std::string(tested.param.name);
    });

}  // namespace
