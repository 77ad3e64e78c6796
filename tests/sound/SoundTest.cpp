// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "SoundError.h"
#include "SoundSamples.h"
#include "TapeDocument.h"
#include "TapeSignal.h"
#include "TapeSoundBytes.h"
#include "TempTape.h"
#include "TzxBuilder.h"
#include "WavSound.h"

namespace {

namespace bt = brisalto::testing;
using brisalto::SoundFormat;
using brisalto::TapeSoundBytes;
using brisalto::WavSound;
using bt::Bytes;

constexpr std::uint64_t kSecond = 3'500'000;
constexpr std::uint64_t kMillisecond = 3'500;
// Before the first pulse, 1 ms low; after the last pause, its closing edge: 1 ms high, then
// 1 ms low.
constexpr std::uint64_t kLeadIn = kMillisecond;
constexpr std::uint64_t kClosing = 2 * kMillisecond;

// A ROM block's T-states as the ROM saves it: pilot (8,063 pulses before a header's flag,
// 3,223 before any other), two sync pulses, two pulses a bit, then the TAP file's 1 s pause.
std::uint64_t RomBlockTstates(const Bytes& body) {
    std::uint64_t tstates = (body[0] < 128 ? 8063u : 3223u) * 2168u + 667 + 735;
    for (const std::uint8_t byte : body) {
        for (int bit = 7; bit >= 0; --bit) tstates += ((byte >> bit) & 1) != 0 ? 2 * 1710 : 2 * 855;
    }
    return tstates + kSecond;
}

// The bodies of a TAP file made by TapeBuilder (whole blocks only).
std::vector<Bytes> TapBodies(const Bytes& tap) {
    std::vector<Bytes> bodies;
    for (std::size_t at = 0; at + 2 <= tap.size();) {
        const std::size_t length = tap[at] + 256u * tap[at + 1];
        bodies.emplace_back(tap.begin() + static_cast<std::ptrdiff_t>(at + 2),
                            tap.begin() + static_cast<std::ptrdiff_t>(at + 2 + length));
        at += 2 + length;
    }
    return bodies;
}

// Counts the bytes written, keeping only the header.
class CountingSink final : public brisalto::ByteSink {
public:
    void Write(std::span<const std::uint8_t> bytes) override {
        if (count_ == 0) header_.assign(bytes.begin(), bytes.end());
        count_ += bytes.size();
    }
    std::uint64_t Count() const { return count_; }
    // The header's count of data bytes.
    std::uint64_t DataField() const {
        return header_[40] + 256u * (header_[41] + 256u * (header_[42] + 256u * header_[43]));
    }

private:
    std::uint64_t count_ = 0;
    Bytes header_;
};

struct LengthCase {
    unsigned rate;
    unsigned bits;
};

class SoundLength : public ::testing::TestWithParam<LengthCase> {};

// The whole sound, every pause included, is within one sample of the exact length, and the file
// holds just that many samples.
TEST_P(SoundLength, IsTheRomTimingsWithinOneSample) {
    const Bytes tap = bt::TapeBuilder()
                          .ProgramHeader("sound", 5, 10, 5)
                          .Data({0x00, 0xFF, 0x55, 0xAA, 0x01})
                          .Get();
    std::uint64_t tstates = kLeadIn + kClosing;
    for (const Bytes& body : TapBodies(tap)) tstates += RomBlockTstates(body);

    const SoundFormat format{GetParam().rate, GetParam().bits};
    const WavSound wav(TapeSoundBytes{tap, false}, format);
    const double exact = double(tstates) * format.rate / double(kSecond);
    EXPECT_EQ(wav.Tstates(), tstates);
    EXPECT_LE(std::fabs(double(wav.Samples()) - exact), 1.0) << exact;

    CountingSink sink;
    ASSERT_TRUE(wav.Write(sink));
    EXPECT_EQ(sink.Count(), 44 + wav.Samples() * format.bits / 8);
    EXPECT_EQ(sink.DataField(), wav.Samples() * format.bits / 8);
}

INSTANTIATE_TEST_SUITE_P(Rates, SoundLength,
                         ::testing::Values(LengthCase{44'100, 8}, LengthCase{48'000, 8},
                                           LengthCase{22'050, 8}, LengthCase{44'100, 16}));

// Ninety minutes of tones whose pulses are not a whole number of samples: rounding each pulse
// would be some 190,000 samples out by the end.
TEST(SoundLength, DoesNotDriftOverNinetyMinutes) {
    bt::TzxBuilder tzx;
    Bytes tone{0x12, 0xFF, 0xFF, 0xFF, 0xFF};  // 65,535 pulses of 65,535 T-states
    for (int i = 0; i < 4; ++i) tzx.Raw(tone);
    tzx.Raw({0x12, 0xFF, 0xFF, 0x90, 0x65});  // 26,000 more
    // No pause at the end: the last pulse's closing edge (2 ms), then the closing of that.
    const std::uint64_t tstates =
        kLeadIn + 65535ull * (4 * 65535 + 26000) + 2 * kMillisecond + kClosing;

    const WavSound wav(TapeSoundBytes{tzx.Get(), true}, SoundFormat{});
    const double exact = double(tstates) * 44'100 / double(kSecond);
    EXPECT_GT(exact, 89 * 60 * 44'100.0);
    EXPECT_LE(std::fabs(double(wav.Samples()) - exact), 1.0) << exact;
    CountingSink sink;
    ASSERT_TRUE(wav.Write(sink));
    EXPECT_EQ(sink.Count(), 44 + wav.Samples());
}

TEST(SoundWrite, StopsWhenProgressSaysSo) {
    const Bytes tap = bt::TapeBuilder().Data(Bytes(2000, 0x55)).Get();
    const WavSound wav(TapeSoundBytes{tap, false}, SoundFormat{});
    CountingSink sink;
    std::uint64_t calls = 0;
    EXPECT_FALSE(wav.Write(sink, [&](std::uint64_t, std::uint64_t) { return ++calls < 3; }));
    EXPECT_EQ(calls, 3u);
    EXPECT_LT(sink.Count(), 44 + wav.Samples());
}

// A level and how long it lasts, in T-states; neighbours at one level are one pulse.
using Levels = std::vector<std::pair<bool, std::uint64_t>>;

Levels SignalLevels(const Bytes& tzx) {
    brisalto::TapeSignal signal(tzx, true);
    Levels levels;
    brisalto::SignalRun run;
    while (signal.Next(run)) {
        if (!levels.empty() && levels.back().first == run.high) {
            levels.back().second += run.tstates;
        } else {
            levels.emplace_back(run.high, run.tstates);
        }
    }
    return levels;
}

Bytes Pulses(std::initializer_list<std::uint16_t> lengths) {
    Bytes block{0x13, static_cast<std::uint8_t>(lengths.size())};
    for (const std::uint16_t length : lengths) bt::AppendWord(block, length);
    return block;
}

Bytes Pause(std::uint16_t milliseconds) {
    Bytes block{0x20};
    bt::AppendWord(block, milliseconds);
    return block;
}

struct PauseCase {
    const char* name;
    Bytes blocks;
    Levels levels;
};

class PauseRule : public ::testing::TestWithParam<PauseCase> {};

// The first pulse is started by an edge after 1 ms low; the last pulse before a pause is ended by
// an edge and 1 ms at the opposite level, then the pause is low; the end of the tape is a pause
// too, and the last pause is itself closed.
TEST_P(PauseRule, EndsEveryPulseWithAnEdge) {
    const Bytes tzx = bt::Concat({bt::TzxSignature(), GetParam().blocks});
    EXPECT_EQ(SignalLevels(tzx), GetParam().levels);
}

constexpr bool H = true;
constexpr bool L = false;

INSTANTIATE_TEST_SUITE_P(
    Cases, PauseRule,
    ::testing::Values(
        PauseCase{"AfterHigh",
                  bt::Concat({Pulses({1000, 2000, 3000}), Pause(100)}),
                  {{L, 3500}, {H, 1000}, {L, 2000}, {H, 3000}, {L, 350'000}, {H, 3500}, {L, 3500}}},
        PauseCase{"AfterLow",
                  bt::Concat({Pulses({1000, 2000}), Pause(100)}),
                  {{L, 3500}, {H, 1000}, {L, 2000}, {H, 3500}, {L, 346'500}, {H, 3500}, {L, 3500}}},
        PauseCase{"NoneAtTheEndAfterLow",
                  Pulses({1000, 2000}),
                  {{L, 3500}, {H, 1000}, {L, 2000}, {H, 3500}, {L, 3500}, {H, 3500}, {L, 3500}}},
        PauseCase{"NoneAtTheEndAfterHigh",
                  Pulses({1000}),
                  {{L, 3500}, {H, 1000}, {L, 7000}, {H, 3500}, {L, 3500}}},
        PauseCase{"BeforeAnySound",
                  bt::Concat({Pause(100), Pulses({1000})}),
                  {{L, 350'000}, {H, 1000}, {L, 7000}, {H, 3500}, {L, 3500}}}),
    [](const ::testing::TestParamInfo<PauseCase>& tested) {
        return std::string(tested.param.name);
    });

Bytes DataBody(std::uint8_t first, std::size_t count) {
    Bytes data(count, first);
    data.insert(data.begin(), 0xFF);
    return bt::WithChecksum(data);
}

struct StartCase {
    const char* name;
    bool tzx;
    std::uint8_t id;  // the TZX blocks' kind
};

class SoundStart : public ::testing::TestWithParam<StartCase> {};

// From row 2 on, the sound library gets row 2's block and what follows: a TAP file's blocks, or
// the TZX signature and the blocks from row 2's on, the blocks without rows between included.
TEST_P(SoundStart, IsTheRowsBlockAndWhatFollows) {
    const Bytes one = DataBody(1, 10), two = DataBody(2, 20), three = DataBody(3, 30);
    Bytes tape, expected;
    if (GetParam().tzx) {
        const std::uint8_t id = GetParam().id;
        const Bytes tail = bt::Concat(
            {bt::TzxBodyBlock(two, id), bt::TzxOtherBlock(0x30), bt::TzxBodyBlock(three, id)});
        tape = bt::Concat(
            {bt::TzxSignature(), bt::TzxBodyBlock(one, id), bt::TzxOtherBlock(0x12), tail});
        expected = bt::Concat({bt::TzxSignature(), tail});
    } else {
        const Bytes tail = bt::TapeBuilder().Block(two).Block(three).Get();
        tape = bt::Concat({bt::TapeBuilder().Block(one).Get(), tail});
        expected = tail;
    }
    const bt::TempTape file(tape, GetParam().tzx ? "t.tzx" : "t.tap");
    const TapeSoundBytes sound =
        brisalto::ReadTapeSoundBytes(brisalto::ReadTapeDocument(file.Path()), 1);
    EXPECT_EQ(sound.bytes, expected);
    EXPECT_EQ(sound.tzx, GetParam().tzx);
    EXPECT_EQ(sound.rows, 3u);
    EXPECT_FALSE(sound.damaged);
    EXPECT_GT(WavSound(sound, SoundFormat{}).Samples(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Tapes, SoundStart,
                         ::testing::Values(StartCase{"Tap", false, 0},
                                           StartCase{"StandardSpeed", true, 0x10},
                                           StartCase{"Turbo", true, 0x11},
                                           StartCase{"PureData", true, 0x14}),
                         [](const ::testing::TestParamInfo<StartCase>& tested) {
                             return std::string(tested.param.name);
                         });

class DamagedSound : public ::testing::TestWithParam<bool> {};

// A tape cut inside its third block sounds its first two, and says it is damaged.
TEST_P(DamagedSound, EndsBeforeTheDamagedBlock) {
    const bool tzx = GetParam();
    const Bytes one = DataBody(1, 10), two = DataBody(2, 20), three = DataBody(3, 30);
    Bytes whole, cut;
    if (tzx) {
        whole = bt::Concat({bt::TzxSignature(), bt::TzxBodyBlock(one), bt::TzxBodyBlock(two)});
        cut = bt::TzxBodyBlock(three);
    } else {
        whole = bt::TapeBuilder().Block(one).Block(two).Get();
        cut = bt::TapeBuilder().Block(three).Get();
    }
    cut.resize(cut.size() - 5);
    const bt::TempTape file(bt::Concat({whole, cut}), tzx ? "t.tzx" : "t.tap");
    const TapeSoundBytes sound =
        brisalto::ReadTapeSoundBytes(brisalto::ReadTapeDocument(file.Path()));
    EXPECT_TRUE(sound.damaged);
    EXPECT_EQ(sound.rows, 2u);
    EXPECT_EQ(sound.bytes, whole);
    EXPECT_GT(WavSound(sound, SoundFormat{}).Samples(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Formats, DamagedSound, ::testing::Values(false, true));

TEST(SoundStart, RefusesARowTheTapeDoesNotHave) {
    const bt::TempTape file(bt::TapeBuilder().Data({1, 2}).Get());
    EXPECT_THROW(brisalto::ReadTapeSoundBytes(brisalto::ReadTapeDocument(file.Path()), 1),
                 brisalto::SoundError);
}

}  // namespace
