// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "SoundError.h"
#include "SoundSamples.h"
#include "TapeDocument.h"
#include "TapeSoundBytes.h"
#include "TempTape.h"
#include "TzxBuilder.h"
#include "WavSound.h"

using brisalto::testing::MemorySink;

namespace {

namespace bt = brisalto::testing;
using bt::Bytes;

Bytes Word(std::uint16_t word) {
    Bytes bytes;
    bt::AppendWord(bytes, word);
    return bytes;
}

Bytes Dword(std::uint32_t value) {
    return bt::Concat({Word(static_cast<std::uint16_t>(value & 0xFFFF)),
                       Word(static_cast<std::uint16_t>(value >> 16))});
}

Bytes Tone(std::uint16_t pulseLength, std::uint16_t pulses) {
    return bt::Concat({{0x12}, Word(pulseLength), Word(pulses)});
}

Bytes LoopOf(std::uint16_t repeats, const Bytes& inside) {
    return bt::Concat({{0x24}, Word(repeats), inside, {0x25}});
}

Bytes Standard(std::uint8_t first) {
    return bt::TzxBodyBlock(bt::WithChecksum({0xFF, first, 2, 3}));
}

// A block with a 4-byte length in front of contents.
Bytes Counted(std::uint8_t id, const Bytes& contents) {
    return bt::Concat({{id}, Dword(static_cast<std::uint32_t>(contents.size())), contents});
}

struct HostileCase {
    const char* name;
    Bytes blocks;         // after the TZX signature
    const char* refusal;  // part of the message, or nullptr for a sound within the bounds
};

class HostileSound : public ::testing::TestWithParam<HostileCase> {};

// Each ends in a clear message or in a sound of at most two hours, never in a hang.
TEST_P(HostileSound, EndsInAMessageOrABoundedSound) {
    const bt::TempTape file(bt::Concat({bt::TzxSignature(), GetParam().blocks}), "t.tzx");
    try {
        const brisalto::TapeSoundBytes sound =
            brisalto::ReadTapeSoundBytes(brisalto::ReadTapeDocument(file.Path()));
        const brisalto::WavSound wav(sound, brisalto::SoundFormat{});
        ASSERT_EQ(GetParam().refusal, nullptr) << "sounds for " << wav.Tstates() << " T-states";
        EXPECT_LE(wav.Samples(), 2u * 60 * 60 * 44'100);
    } catch (const brisalto::SoundError& failure) {
        ASSERT_NE(GetParam().refusal, nullptr) << failure.what();
        EXPECT_NE(std::string(failure.what()).find(GetParam().refusal), std::string::npos)
            << failure.what();
    }
}

// Generalized data: pause, TOTP, NPP, ASP, TOTD, NPD, ASD, then far fewer symbols than counted.
const Bytes kGeneralizedLying =
    bt::Concat({Word(0), Dword(0xFFFFFFFF), {2, 2}, Dword(0xFFFFFFFF), {2, 2}, Bytes(40, 1)});
// CSW: pause, 3-byte rate, compression (1 RLE, 2 Z-RLE), pulse count, then a few bytes of data.
Bytes Csw(std::uint8_t compression) {
    return bt::Concat({Word(0), {0x44, 0xAC, 0x00, compression}, Dword(0xFFFFFFFF), Bytes(50, 5)});
}

INSTANTIATE_TEST_SUITE_P(
    Tapes, HostileSound,
    ::testing::Values(
        HostileCase{"LoopOfLongTones",
                    LoopOf(65535, bt::Concat({Tone(65535, 65535), Tone(65535, 65535)})),
                    "more than 120 minutes"},
        HostileCase{"LoopOfEmptyPulses", LoopOf(65535, Tone(0, 65535)),
                    "more than 67,108,864 edges"},
        HostileCase{"JumpToItself", bt::Concat({Standard(1), {0x23}, Word(0)}),
                    "more than 67,108,864 edges"},
        HostileCase{"JumpBackForever", bt::Concat({Standard(1), {0x23}, Word(0xFFFF)}),
                    "more than 120 minutes"},
        HostileCase{"CallsWithoutReturns",
                    bt::Concat({{0x26}, Word(2), Word(1), Word(2), Standard(1), Standard(2)}),
                    "cannot read"},
        HostileCase{"CallToItself", bt::Concat({{0x26}, Word(1), Word(0), Standard(1)}),
                    "cannot read"},
        HostileCase{"CswCountLies", Counted(0x18, Csw(1)), "cannot read"},
        HostileCase{"CompressedCswCountLies", Counted(0x18, Csw(2)), "cannot read"},
        HostileCase{"GeneralizedCountsLie", Counted(0x19, kGeneralizedLying), "cannot read"},
        // 0x15 with a stated length of 4 GiB less one: the scan says where the damage is.
        HostileCase{
            "DirectRecordingOf4GiB",
            bt::Concat(
                {Standard(1), {0x15}, Word(79), Word(0), {8, 0xFF, 0xFF, 0xFF}, Bytes(100, 0x55)}),
            nullptr},
        HostileCase{
            "NothingButADirectRecordingOf4GiB",
            bt::Concat({{0x15}, Word(79), Word(0), {8, 0xFF, 0xFF, 0xFF}, Bytes(100, 0x55)}),
            "damaged before its first block"}),
    [](const ::testing::TestParamInfo<HostileCase>& tested) {
        return std::string(tested.param.name);
    });

// A generalized data block (0x19) of no pause: TOTP, NPP, ASP, TOTD, NPD, ASD, then the rest.
Bytes Generalized(std::uint32_t totp, std::uint8_t npp, std::uint8_t asp, std::uint32_t totd,
                  std::uint8_t npd, std::uint8_t asd, const Bytes& rest) {
    return Counted(0x19,
                   bt::Concat({Word(0), Dword(totp), {npp, asp}, Dword(totd), {npd, asd}, rest}));
}

// A symbol of the flag 0 (each pulse an edge) and its pulse lengths.
Bytes Symbol(std::initializer_list<std::uint16_t> pulses) {
    Bytes symbol{0};
    for (const std::uint16_t pulse : pulses) symbol = bt::Concat({symbol, Word(pulse)});
    return symbol;
}

// Pulse sequence (0x13) of the given lengths.
Bytes Pulses(std::initializer_list<std::uint16_t> pulses) {
    Bytes block{0x13, static_cast<std::uint8_t>(pulses.size())};
    for (const std::uint16_t pulse : pulses) block = bt::Concat({block, Word(pulse)});
    return block;
}

const Bytes kTwoSymbols = bt::Concat({Symbol({855, 855}), Symbol({1710, 1710})});

struct UnsoundCase {
    const char* name;
    Bytes block;         // between two standard blocks
    const char* reason;  // part of the message when the sound stops before the block
    Bytes sameAs{};      // otherwise: blocks that sound exactly as it does
};

class UnsoundBlock : public ::testing::TestWithParam<UnsoundCase> {};

std::vector<std::uint8_t> Wav(const brisalto::TapeSoundBytes& tape) {
    MemorySink sink;
    brisalto::WavSound(tape, brisalto::SoundFormat{}).Write(sink);
    return sink.Bytes();
}

// A block that libspectrum would read outside of ends the sound after the row before it, as a
// damaged tape's sound ends, and says why; the blocks it sounds safely sound as they did.
TEST_P(UnsoundBlock, EndsTheSoundBeforeItOrSoundsAsBefore) {
    const Bytes first = bt::Concat({bt::TzxSignature(), Standard(1)});
    const bt::TempTape file(bt::Concat({first, GetParam().block, Standard(2)}), "t.tzx");
    const brisalto::TapeSoundBytes sound =
        brisalto::ReadTapeSoundBytes(brisalto::ReadTapeDocument(file.Path()));
    if (GetParam().reason != nullptr) {
        EXPECT_TRUE(sound.damaged);
        EXPECT_EQ(sound.rows, 1u);
        EXPECT_EQ(sound.rowPositions.size(), 1u);
        EXPECT_EQ(sound.bytes, first);
        EXPECT_NE(sound.stop.find(GetParam().reason), std::string::npos) << sound.stop;
        EXPECT_NE(sound.stop.find("byte 20"), std::string::npos) << sound.stop;
        EXPECT_FALSE(Wav(sound).empty());
        return;
    }
    const bt::TempTape same(bt::Concat({first, GetParam().sameAs, Standard(2)}), "same.tzx");
    EXPECT_FALSE(sound.damaged);
    EXPECT_EQ(sound.rows, 2u);
    EXPECT_EQ(Wav(sound),
              Wav(brisalto::ReadTapeSoundBytes(brisalto::ReadTapeDocument(same.Path()))));
}

// From the second row on, an unsafe block right after it leaves that row alone to sound.
TEST(UnsoundBlock, EndsTheSoundFromARowAfterThatRow) {
    const Bytes tape =
        bt::Concat({bt::TzxSignature(), Standard(1), Standard(2), Pulses({}), Standard(3)});
    const bt::TempTape file(tape, "t.tzx");
    const brisalto::TapeSoundBytes sound =
        brisalto::ReadTapeSoundBytes(brisalto::ReadTapeDocument(file.Path()), 1);
    EXPECT_TRUE(sound.damaged);
    EXPECT_EQ(sound.rows, 2u);
    EXPECT_EQ(sound.rowPositions.size(), 1u);
    EXPECT_EQ(sound.bytes, bt::Concat({bt::TzxSignature(), Standard(2)}));
    EXPECT_NE(sound.stop.find("byte 30"), std::string::npos) << sound.stop;
}

INSTANTIATE_TEST_SUITE_P(
    Blocks, UnsoundBlock,
    ::testing::Values(
        UnsoundCase{"PulseSequenceOfNoPulses", Pulses({}), "a pulse sequence of no pulses"},
        UnsoundCase{"ToneOfNoPulses", Tone(2168, 0), "a tone of no pulses"},
        UnsoundCase{"PureDataOfNoBits",
                    bt::Concat({{0x14}, Word(855), Word(1710), {0}, Word(0), {1, 0, 0, 0xAA}}),
                    "one byte with no bits used"},
        UnsoundCase{"GeneralizedPilotWithoutData",
                    Generalized(1, 1, 1, 0, 0, 0, bt::Concat({Symbol({2168}), {0}, Word(100)})),
                    "a pilot and no data"},
        UnsoundCase{"GeneralizedSymbolsOfNoPulses", Generalized(0, 0, 0, 8, 0, 2, {0, 0, 0xA5}),
                    "symbols have no pulses"},
        // The data alphabet (51 symbols of 2 pulses) does not fit; the reader drops it unsaid.
        UnsoundCase{"GeneralizedTableTooLong", Generalized(0, 0, 0, 16, 2, 51, Bytes(12, 0x34)),
                    "counts do not fit its length"},
        UnsoundCase{"GeneralizedCountOneShort",
                    Generalized(0, 0, 0, 9, 2, 2, bt::Concat({kTwoSymbols, {0xA5}})),
                    "counts do not fit its length"},
        UnsoundCase{"GeneralizedPilotSymbolMissing",
                    Generalized(1, 1, 1, 8, 2, 2,
                                bt::Concat({Symbol({2168}), {1}, Word(100), kTwoSymbols, {0xA5}})),
                    "pilot names a symbol it lacks"},
        // Three symbols take two bits each, and 0b11 names a fourth.
        UnsoundCase{"GeneralizedDataSymbolMissing",
                    Generalized(0, 0, 0, 4, 2, 3,
                                bt::Concat({kTwoSymbols, Symbol({400, 400}), {0b00011011}})),
                    "data names a symbol it lacks"},
        // 2^31 symbols of no bits fit in no bytes; the library's reading of the count overflows.
        UnsoundCase{"GeneralizedCountOf2To31",
                    Generalized(0, 0, 0, 0x80000000, 2, 1, Symbol({855, 855})), "2^31 or more"},
        // Eight symbols of one bit end on a byte's end, and one symbol of an alphabet of one
        // has no bits at all: the library reads a byte past each, which it is given.
        UnsoundCase{"GeneralizedWholeBytes",
                    Generalized(0, 0, 0, 8, 2, 2, bt::Concat({kTwoSymbols, {0xA5}})), nullptr,
                    Pulses({1710, 1710, 855, 855, 1710, 1710, 855, 855, 855, 855, 1710, 1710, 855,
                            855, 1710, 1710})},
        UnsoundCase{"GeneralizedSymbolsOfNoBits", Generalized(0, 0, 0, 3, 2, 1, Symbol({855, 855})),
                    nullptr, Pulses({855, 855, 855, 855, 855, 855})},
        // No symbols at all, with the data alphabet's size given as 0 (256): no sound.
        UnsoundCase{"GeneralizedEmpty", Generalized(0, 0, 0, 0, 0, 0, {}), nullptr, {}}),
    [](const ::testing::TestParamInfo<UnsoundCase>& tested) {
        return std::string(tested.param.name);
    });

}  // namespace
