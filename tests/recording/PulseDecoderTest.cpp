// SPDX-License-Identifier: GPL-3.0-or-later
#include "PulseDecoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <variant>
#include <vector>

#include "TzxBlockCodec.h"

namespace brisalto {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The pulses a loader saves a block with.
struct Timings {
    double pilot, sync1, sync2, zero, one;
    int pilotPulses;
};
constexpr Timings kRom{2168, 667, 735, 855, 1710, 3223};

struct Pulses {
    std::vector<double> lengths;
    std::vector<bool> edges;

    void Add(double length, bool edge = true) {
        lengths.push_back(length);
        edges.push_back(edge);
    }
    void Block(const Bytes& bytes, const Timings& t, double speed = 1) {
        for (int i = 0; i < t.pilotPulses; ++i) Add(t.pilot / speed);
        Add(t.sync1 / speed);
        Add(t.sync2 / speed);
        for (const std::uint8_t byte : bytes) {
            for (int bit = 7; bit >= 0; --bit) {
                const double half = (byte >> bit & 1 ? t.one : t.zero) / speed;
                Add(half);
                Add(half);
            }
        }
    }
    void Pause(double milliseconds) { Add(milliseconds * 3500, false); }
    void Tone(double length, int count) {
        for (int i = 0; i < count; ++i) Add(length);
    }
};

std::vector<RecoveredBlock> Decode(const Pulses& pulses) {
    std::vector<RecoveredBlock> blocks;
    PulseDecoder decoder([&](RecoveredBlock block) { blocks.push_back(std::move(block)); });
    for (std::size_t i = 0; i < pulses.lengths.size(); ++i)
        decoder.AddPulse(pulses.lengths[i], pulses.edges[i]);
    decoder.Finish();
    return blocks;
}

Bytes WithChecksum(Bytes bytes) {
    std::uint8_t check = 0;
    for (const std::uint8_t byte : bytes) check ^= byte;
    bytes.push_back(check);
    return bytes;
}

unsigned Word(const Bytes& tzx, std::size_t at) {
    return tzx[at] | tzx[at + 1] << 8;
}

Bytes DataOf(const RecoveredBlock& block) {
    return Bytes(block.tzx.end() - block.dataLength, block.tzx.end());
}

const Bytes kHeader = WithChecksum({0x00, 0x03, 'c', 'o', 'd', 'e', ' ', ' ', ' ', ' ', ' ', ' ',
                                    0x10, 0x00, 0x00, 0x80, 0x00, 0x80});
const Bytes kData = WithChecksum({0xFF, 0x00, 0xFF, 0x55, 0xAA, 0x01, 0x80, 0x7E, 0x12, 0x34, 0x56,
                                  0x78, 0x9A, 0xBC, 0xDE, 0xF0, 0x0F});

// A ROM block at any speed a cassette deck runs at is a standard block with its measured pause.
TEST(PulseDecoder, RomTimingsAtAnySpeedAreStandardBlocks) {
    for (const double speed : {0.9, 1.0, 1.1}) {
        SCOPED_TRACE(speed);
        Pulses pulses;
        pulses.Block(kHeader, kRom, speed);
        pulses.Pause(1000);
        pulses.Block(kData, kRom, speed);
        pulses.Pause(500);
        const std::vector<RecoveredBlock> blocks = Decode(pulses);
        ASSERT_EQ(blocks.size(), 2u);
        for (const RecoveredBlock& block : blocks) {
            EXPECT_EQ(block.tzx[0], 0x10);
            EXPECT_TRUE(block.checksumGood);
            EXPECT_FALSE(block.broke);
        }
        EXPECT_EQ(DataOf(blocks[0]), kHeader);
        EXPECT_EQ(DataOf(blocks[1]), kData);
        EXPECT_EQ(Word(blocks[0].tzx, 1), 1000u);
        EXPECT_EQ(Word(blocks[1].tzx, 1), 500u);
    }
}

// Other timings are a turbo block with the figures measured, whatever the pulses' polarity.
TEST(PulseDecoder, OtherTimingsAreTurboBlocksWithTheirMeasuredFigures) {
    const Timings turbo{1800, 500, 600, 500, 1000, 1500};
    Pulses pulses;
    pulses.Block(kData, turbo);
    pulses.Pause(250);
    const std::vector<RecoveredBlock> blocks = Decode(pulses);
    ASSERT_EQ(blocks.size(), 1u);
    const Bytes& tzx = blocks[0].tzx;
    ASSERT_EQ(tzx[0], 0x11);
    EXPECT_EQ(Word(tzx, 1), 1800u);
    EXPECT_EQ(Word(tzx, 3), 500u);
    EXPECT_EQ(Word(tzx, 5), 600u);
    EXPECT_EQ(Word(tzx, 7), 500u);
    EXPECT_EQ(Word(tzx, 9), 1000u);
    EXPECT_EQ(Word(tzx, 11), 1500u);
    EXPECT_EQ(tzx[13], 8);
    EXPECT_EQ(Word(tzx, 14), 250u);
    EXPECT_EQ(DataOf(blocks[0]), kData);
}

// A spike of noise inside a bit splits its pulse in three; the block reads as if it were not.
TEST(PulseDecoder, SpikeInsideABitIsMended) {
    Pulses pulses;
    pulses.Block(kData, kRom);
    pulses.lengths[kRom.pilotPulses + 2 + 41] -= 150;  // a pulse of the data's 3rd byte
    pulses.lengths.insert(pulses.lengths.begin() + kRom.pilotPulses + 2 + 42, {100, 50});
    pulses.edges.insert(pulses.edges.begin() + kRom.pilotPulses + 2 + 42, {true, true});
    pulses.Pause(1000);
    const std::vector<RecoveredBlock> blocks = Decode(pulses);
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(DataOf(blocks[0]), kData);
}

// A block that breaks keeps the bytes read, said to be damaged at the byte and time it broke;
// the rest of it is kept as pulses, and the next block is read.
TEST(PulseDecoder, BrokenBlockKeepsItsBytesAndTheNextIsRead) {
    Pulses pulses;
    pulses.Block(kData, kRom);
    const std::size_t brokenPulse = kRom.pilotPulses + 2 + 5 * 16 + 3;  // inside byte 5
    pulses.lengths[brokenPulse] = 6000;
    pulses.Pause(1000);
    pulses.Block(kHeader, kRom);
    pulses.Pause(1000);
    const std::vector<RecoveredBlock> blocks = Decode(pulses);

    std::vector<const RecoveredBlock*> data;
    std::string note;
    bool keptPulses = false;
    for (const RecoveredBlock& block : blocks) {
        if (block.data) data.push_back(&block);
        if (block.tzx[0] == 0x30) note.assign(block.tzx.begin() + 2, block.tzx.end());
        if (block.tzx[0] == 0x13) keptPulses = true;
    }
    ASSERT_EQ(data.size(), 2u);
    ASSERT_TRUE(data[0]->broke);
    EXPECT_EQ(data[0]->broke->byte, 5u);
    EXPECT_EQ(DataOf(*data[0]), Bytes(kData.begin(), kData.begin() + 5));
    EXPECT_EQ(note.substr(0, 41), "Damaged: the block broke at byte 5, at 0:");
    EXPECT_TRUE(keptPulses);
    EXPECT_EQ(DataOf(*data[1]), kHeader);
    EXPECT_TRUE(data[1]->checksumGood);
}

// Every block the decoder gives (data at the ROM's and other timings, its note on damage, kept
// pulses, tones, pauses) reads as its kind's fields and is written again as it came.
TEST(PulseDecoder, EveryBlockGivenReadsAsItsKind) {
    Pulses pulses;
    pulses.Block(kHeader, kRom);
    pulses.Pause(1000);
    pulses.Block(kData, Timings{1800, 500, 600, 500, 1000, 1500});
    pulses.Pause(1000);
    pulses.Block(kData, kRom);
    pulses.lengths[pulses.lengths.size() - 40] = 6000;  // the last block breaks
    pulses.Pause(1000);
    for (int i = 0; i < 1000; ++i) pulses.Add(2500);
    pulses.Pause(300);
    for (const double length : {300, 700, 1100, 5000, 200, 900}) pulses.Add(length);
    pulses.Pause(2000);
    std::vector<std::uint8_t> ids;
    for (const RecoveredBlock& block : Decode(pulses)) {
        const auto read = tzx::ReadTzxBlock(block.tzx);
        ASSERT_TRUE(read);
        EXPECT_FALSE(std::holds_alternative<tzx::OpaqueBlock>(read->fields));
        EXPECT_EQ(read->size, block.tzx.size());
        EXPECT_EQ(tzx::BytesOf(read->fields), block.tzx);
        ids.push_back(block.tzx[0]);
    }
    for (const int id : {0x10, 0x11, 0x12, 0x13, 0x20, 0x30})
        EXPECT_NE(std::find(ids.begin(), ids.end(), id), ids.end()) << id;
}

// Sound that is no block stays: a tone without a sync as a tone, an unknown loader's pulses as
// pulses, silence as a pause.
TEST(PulseDecoder, SoundThatIsNoBlockIsKept) {
    Pulses pulses;
    for (int i = 0; i < 1000; ++i) pulses.Add(2500);
    pulses.Pause(300);
    for (const double length : {300, 700, 1100, 5000, 200, 900}) pulses.Add(length);
    pulses.Pause(2000);
    const std::vector<RecoveredBlock> blocks = Decode(pulses);
    ASSERT_EQ(blocks.size(), 4u);
    EXPECT_EQ(blocks[0].tzx, (Bytes{0x12, 0xC4, 0x09, 0xE8, 0x03}));
    EXPECT_EQ(blocks[1].tzx[0], 0x20);
    EXPECT_NEAR(Word(blocks[1].tzx, 1), 300, 1);
    EXPECT_EQ(blocks[2].tzx, (Bytes{0x13, 6, 0x2C, 0x01, 0xBC, 0x02, 0x4C, 0x04, 0x88, 0x13, 0xC8,
                                    0x00, 0x84, 0x03}));
    EXPECT_EQ(blocks[3].tzx, (Bytes{0x20, 0xD0, 0x07}));
}

// What follows a block with no pause between them ends it: the next block's pilot (even one
// whose pulses a 1 bit's could be), a tone, or where a standard header says the block ends.
// Every block comes back whole and undamaged, the next pilot uneaten, the tone kept.
struct FollowRow {
    const char* name;
    std::function<void(Pulses&)> make;
    std::vector<Bytes> bodies;
    std::uint32_t lastPilotPulses = 0;  // of the last block, a turbo one; 0 when not looked at
    std::uint32_t tonePulses = 0;       // of a tone kept after the blocks; 0 when none
};

TEST(PulseDecoder, WhatFollowsWithNoPauseEndsTheBlock) {
    // A turbo loader whose pilot pulse is near a ROM 1 bit's half, so that only its sync tells.
    const Timings nearOne{1800, 540, 600, 700, 1400, 2000};
    const Timings turbo{1800, 500, 600, 500, 1000, 1500};
    // A block under flag 0 whose first 19 bytes check, which is no header: it goes on.
    Bytes longFlagZero = WithChecksum(Bytes(kHeader.begin(), kHeader.end() - 1));
    longFlagZero.insert(longFlagZero.end(), kData.begin(), kData.end());
    longFlagZero = WithChecksum(longFlagZero);
    const std::vector<FollowRow> rows = {
        {"the next standard block",
         [](Pulses& p) {
             p.Block(kData, kRom);
             p.Block(kHeader, kRom);
         },
         {kData, kHeader}},
        {"a turbo block whose pilot a 1 bit could be",
         [&](Pulses& p) {
             p.Block(kData, kRom);
             p.Block(kData, nearOne);
         },
         {kData, kData},
         2000},
        {"a standard block after a turbo one",
         [&](Pulses& p) {
             p.Block(kData, turbo);
             p.Block(kHeader, kRom);
         },
         {kData, kHeader}},
        {"a tone",
         [](Pulses& p) {
             p.Block(kData, kRom);
             p.Tone(3000, 300);
         },
         {kData},
         0,
         300},
        {"a tone of pulses shorter than the bits'",
         [](Pulses& p) {
             p.Block(kData, kRom);
             p.Tone(400, 300);
         },
         {kData},
         0,
         300},
        {"a header's 19 bytes, then a tone a 1 bit could be",
         [](Pulses& p) {
             p.Block(kHeader, kRom);
             p.Tone(1800, 300);
         },
         {kHeader},
         0,
         300},
        {"the data block its header states, then a tone a 1 bit could be",
         [](Pulses& p) {
             p.Block(kHeader, kRom);
             p.Pause(500);
             p.Block(kData, kRom);
             p.Tone(1800, 300);
         },
         {kHeader, kData},
         0,
         300},
        {"a block under flag 0 that goes on past 19 bytes",
         [&](Pulses& p) { p.Block(longFlagZero, kRom); },
         {longFlagZero}},
    };
    for (const FollowRow& row : rows) {
        SCOPED_TRACE(row.name);
        Pulses pulses;
        row.make(pulses);
        pulses.Pause(1000);
        std::vector<Bytes> bodies;
        std::uint32_t lastPilot = 0, tone = 0;
        for (const RecoveredBlock& block : Decode(pulses)) {
            if (block.tzx[0] == 0x12) tone += Word(block.tzx, 3);
            if (!block.data) continue;
            bodies.push_back(DataOf(block));
            EXPECT_TRUE(block.checksumGood);
            EXPECT_FALSE(block.broke);
            lastPilot = block.tzx[0] == 0x11 ? Word(block.tzx, 11) : 0;
        }
        EXPECT_EQ(bodies, row.bodies);
        if (row.lastPilotPulses > 0) {
            EXPECT_EQ(lastPilot, row.lastPilotPulses);
        }
        EXPECT_EQ(tone, row.tonePulses);
    }
}

}  // namespace
}  // namespace brisalto
