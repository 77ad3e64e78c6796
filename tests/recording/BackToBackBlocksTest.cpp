// SPDX-License-Identifier: GPL-3.0-or-later
// Blocks that follow each other with no pause, or very little, sounded by the console program
// and read back: every data block whole, none read on into the next block's pilot.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "ConvertTape.h"
#include "DecodeRecording.h"
#include "RunCommand.h"
#include "TapeDocument.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace brisalto {
namespace {

namespace bt = testing;
using Bytes = std::vector<std::uint8_t>;

const std::string kProgram = BRISALTO_TAPE_PROGRAM;
const std::string kTestData = BRISALTO_TEST_DATA;

void PutWord(Bytes& bytes, std::size_t at, unsigned value) {
    bytes.at(at) = static_cast<std::uint8_t>(value & 0xFF);
    bytes.at(at + 1) = static_cast<std::uint8_t>(value >> 8 & 0xFF);
}

Bytes Body(std::uint8_t flag, const Bytes& data) {
    Bytes body{flag};
    body.insert(body.end(), data.begin(), data.end());
    std::uint8_t check = 0;
    for (const std::uint8_t byte : body) check ^= byte;
    body.push_back(check);
    return body;
}

Bytes Random(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    Bytes bytes(count);
    for (std::uint8_t& byte : bytes) byte = static_cast<std::uint8_t>(random());
    return bytes;
}

// A ROM header of the given type, 10-character name and data length.
Bytes Header(std::uint8_t type, const std::string& name, unsigned length) {
    Bytes data{type};
    data.insert(data.end(), name.begin(), name.end());
    data.resize(11, ' ');
    data.resize(17, 0);
    PutWord(data, 11, length);
    PutWord(data, 13, type == 0 ? 10 : 32768);
    PutWord(data, 15, type == 0 ? length : 32768);
    return Body(0x00, data);
}

// A turbo loader's pulses, in T-states.
struct Timings {
    unsigned pilot, sync1, sync2, zero, one, pilotPulses;
};
constexpr Timings kFast{1800, 540, 600, 700, 1400, 2500};
constexpr Timings kFaster{1500, 400, 450, 520, 1040, 1800};

Bytes Rom(const Bytes& body, unsigned pauseMs) {
    Bytes block = bt::TzxBodyBlock(body, 0x10);
    PutWord(block, 1, pauseMs);
    return block;
}

Bytes Turbo(const Bytes& body, const Timings& t, unsigned pauseMs) {
    Bytes block = bt::TzxBodyBlock(body, 0x11);
    unsigned at = 1;
    for (const unsigned value : {t.pilot, t.sync1, t.sync2, t.zero, t.one, t.pilotPulses}) {
        PutWord(block, at, value);
        at += 2;
    }
    PutWord(block, 14, pauseMs);
    return block;
}

Bytes Tone(unsigned length, unsigned count) {
    Bytes block(5, 0x12);
    PutWord(block, 1, length);
    PutWord(block, 3, count);
    return block;
}

Bytes PulseBlock(const std::vector<unsigned>& pulses) {
    Bytes block{0x13, static_cast<std::uint8_t>(pulses.size())};
    for (const unsigned pulse : pulses) {
        block.resize(block.size() + 2);
        PutWord(block, block.size() - 2, pulse);
    }
    return block;
}

// A custom loader's block: its own tone and syncs, then its bytes as pure data.
Bytes CustomLoaderBlock(const Bytes& body, const Timings& t, unsigned pauseMs) {
    Bytes block = Tone(t.pilot, t.pilotPulses);
    const Bytes syncs = PulseBlock({t.sync1, t.sync2});
    block.insert(block.end(), syncs.begin(), syncs.end());
    Bytes data = bt::TzxBodyBlock(body, 0x14);
    PutWord(data, 1, t.zero);
    PutWord(data, 3, t.one);
    PutWord(data, 6, pauseMs);
    block.insert(block.end(), data.begin(), data.end());
    return block;
}

Bytes PauseBlock(unsigned ms) {
    Bytes block(3, 0x20);
    PutWord(block, 1, ms);
    return block;
}

// The bodies of a tape's data blocks of two bytes or more, as its TAP holds them.
std::vector<Bytes> BodiesOf(const Bytes& tape) {
    const TapeDocument document =
        TapeDocumentFromBytes(std::string("tape.tzx"), std::make_shared<const Bytes>(tape));
    const Bytes tap = ConvertTape(document, TapeFormat::Tap).bytes;
    std::vector<Bytes> bodies;
    for (std::size_t at = 0; at + 2 <= tap.size();) {
        const std::size_t length = tap[at] | std::size_t{tap[at + 1]} << 8;
        if (at + 2 + length > tap.size()) break;
        if (length >= 2) bodies.emplace_back(tap.begin() + at + 2, tap.begin() + at + 2 + length);
        at += 2 + length;
    }
    return bodies;
}

Bytes TzxOf(const std::vector<Bytes>& blocks) {
    bt::TzxBuilder tape;
    for (const Bytes& block : blocks) tape.Raw(block);
    return tape.Get();
}

// The blocks of a TAP file as standard speed blocks with the given pause.
Bytes TzxOfTap(const Bytes& tap, unsigned pauseMs) {
    bt::TzxBuilder tape;
    for (std::size_t at = 0; at + 2 <= tap.size();) {
        const std::size_t length = tap[at] | std::size_t{tap[at + 1]} << 8;
        tape.Raw(Rom(Bytes(tap.begin() + at + 2, tap.begin() + at + 2 + length), pauseMs));
        at += 2 + length;
    }
    return tape.Get();
}

// How many of the tape's data bodies come back among those read (each read one used once), for
// the figures printed.
std::size_t WholeBodies(const std::vector<Bytes>& sent, std::vector<Bytes> got) {
    std::size_t whole = 0;
    for (const Bytes& body : sent) {
        const auto found = std::find(got.begin(), got.end(), body);
        if (found == got.end()) continue;
        got.erase(found);
        ++whole;
    }
    return whole;
}

struct TapeRow {
    std::string name;
    Bytes tzx;
};

std::vector<TapeRow> TapesToSound() {
    const bt::TempTape folder({}, "loader.tap");
    bt::RunCommand("zmakebas -n loader -a 10 -o '" + folder.Path() + "' '" + kTestData +
                   "/../console/data/loader.bas'");
    const Bytes zmakebas = bt::ReadWholeFile(folder.Path());
    const std::string converted = folder.Folder() + "/loader.tzx";
    bt::RunCommand("tapeconv '" + folder.Path() + "' '" + converted + "'");
    const std::string loading = folder.Folder() + "/loading.tzx";
    bt::RunCommand("tapeconv '" + kTestData + "/loading.tap' '" + loading + "'");

    const Bytes program = Random(190, 1), code = Random(6514, 2);
    const Bytes shortBody = Body(0xFF, {0x5A});
    return {
        {"tapeconv of a zmakebas program", bt::ReadWholeFile(converted)},
        {"tapeconv of a program and its screen", bt::ReadWholeFile(loading)},
        {"a zmakebas program with no pauses", TzxOfTap(zmakebas, 0)},
        {"a program and its screen with no pauses",
         TzxOfTap(bt::ReadWholeFile(kTestData + "/loading.tap"), 0)},
        {"header, program and code with no pauses",
         TzxOf({Rom(Header(0, "loader", 190), 0), Rom(Body(0xFF, program), 0),
                Rom(Header(3, "code", 6514), 0), Rom(Body(0xFF, code), 1000)})},
        {"turbo blocks with no pauses",
         TzxOf({Turbo(Body(0xFF, Random(700, 3)), kFast, 0), Turbo(shortBody, kFast, 0),
                Turbo(Body(0x00, Random(17, 4)), kFast, 0),
                Turbo(Body(0xFF, Random(300, 5)), kFaster, 0),
                Turbo(Body(0x7F, Random(40, 6)), kFaster, 0), Rom(Header(3, "after", 99), 500)})},
        {"standard, then turbo and custom loader blocks with no pauses",
         TzxOf({Rom(Header(3, "fast", 400), 0), Turbo(Body(0xFF, Random(400, 7)), kFaster, 0),
                CustomLoaderBlock(Body(0xFF, Random(250, 8)), kFast, 0),
                Rom(Body(0xFF, Random(30, 9)), 0), Rom(Body(0xFF, {}), 0),
                CustomLoaderBlock(shortBody, kFaster, 0),
                Turbo(Body(0xFF, Random(60, 10)), kFast, 0), Tone(3000, 300), PauseBlock(100),
                PulseBlock({300, 700, 1100, 5000, 200, 900}), Rom(Body(0xFF, Random(20, 11)), 0),
                Tone(2168, 100), Turbo(Body(0x55, Random(80, 12)), kFaster, 200)})},
    };
}

// Every tape, sounded by wav and read back by convert, gives back every data block byte for
// byte, whatever pauses it has between its blocks.
TEST(BackToBackBlocks, EveryTapeComesBackThroughWavAndConvert) {
    std::size_t sentTotal = 0, wholeTotal = 0;
    for (const TapeRow& row : TapesToSound()) {
        SCOPED_TRACE(row.name);
        const bt::TempTape tape(row.tzx, "tape.tzx");
        const std::string sound = tape.Folder() + "/tape.wav";
        const std::string back = tape.Folder() + "/back.tzx";
        bt::RunCommand("'" + kProgram + "' wav -o '" + sound + "' '" + tape.Path() + "'");
        bt::RunCommand("'" + kProgram + "' convert '" + sound + "' '" + back + "'");
        const std::vector<Bytes> sent = BodiesOf(row.tzx);
        const std::vector<Bytes> got = BodiesOf(bt::ReadWholeFile(back));
        EXPECT_GE(sent.size(), 2u);
        EXPECT_EQ(got, sent);
        sentTotal += sent.size();
        wholeTotal += WholeBodies(sent, got);
    }
    std::printf("%zu of %zu data blocks came back whole\n", wholeTotal, sentTotal);
}

// Pauses between blocks from none to 50 ms, at the ROM's timings and a turbo loader's, each
// recording resampled by sox: every data block comes back whole.
using PauseRow = std::tuple<bool, unsigned, int>;  // turbo, pause in ms, sample rate
class PausesBetweenBlocks : public ::testing::TestWithParam<PauseRow> {};

TEST_P(PausesBetweenBlocks, GiveBackEveryBlockWhole) {
    const auto [turbo, pause, rate] = GetParam();
    const auto block = [turbo, pause](const Bytes& body) {
        return turbo ? Turbo(body, kFast, pause) : Rom(body, pause);
    };
    const Bytes tzx = TzxOf({block(Header(0, "program", 190)), block(Body(0xFF, Random(190, 20))),
                             block(Header(3, "code", 500)), block(Body(0xFF, Random(500, 21))),
                             block(Body(0xFF, {0xA5})), block(Body(0x00, Random(17, 22))),
                             Rom(Body(0xFF, Random(30, 23)), 1000)});
    const bt::TempTape tape(tzx, "tape.tzx");
    const std::string sound = tape.Folder() + "/tape.wav";
    const std::string resampled = tape.Folder() + "/resampled.wav";
    bt::RunCommand("'" + kProgram + "' wav --bits 16 -o '" + sound + "' '" + tape.Path() + "'");
    bt::RunCommand("sox -V1 '" + sound + "' -r " + std::to_string(rate) + " '" + resampled +
                   "' gain -1");
    const DecodedRecording decoded = DecodeRecordingFile(resampled);
    const std::vector<Bytes> sent = BodiesOf(tzx);
    const std::vector<Bytes> got = BodiesOf(decoded.tzx);
    const std::size_t whole = WholeBodies(sent, got);
    RecordProperty("whole", static_cast<int>(whole));
    RecordProperty("sent", static_cast<int>(sent.size()));
    std::printf("%s, %u ms, %d Hz: %zu of %zu data blocks whole\n", turbo ? "turbo" : "ROM", pause,
                rate, whole, sent.size());
    EXPECT_EQ(got, sent);
}

INSTANTIATE_TEST_SUITE_P(Table, PausesBetweenBlocks,
                         ::testing::Combine(::testing::Bool(),
                                            ::testing::Values(0u, 1u, 2u, 5u, 50u),
                                            ::testing::Values(22050, 44100, 48000, 96000)));

}  // namespace
}  // namespace brisalto
