// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "SoundError.h"
#include "SoundSamples.h"
#include "TapeSoundBytes.h"
#include "TempTape.h"
#include "TzxBuilder.h"
#include "WavSound.h"

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
        const brisalto::TapeSoundBytes sound = brisalto::ReadTapeSoundBytes(file.Path());
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

}  // namespace
