// SPDX-License-Identifier: GPL-3.0-or-later
// PZX files written from TZX tapes of every data kind, block by block as the PZX layout holds
// each TZX block (pilots and syncs as PULS, bits as DATA, pauses as PAUS), read back into TZX
// tapes: every data block comes back byte for byte, in the TZX block that holds it exactly.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "ConvertTape.h"
#include "DecodeRecording.h"
#include "PzxBuilder.h"
#include "TapeBuilder.h"
#include "TapeDocument.h"
#include "TzxBuilder.h"

namespace brisalto {
namespace {

using testing::Bytes;

void Put(Bytes& bytes, std::uint64_t value, int count) {
    for (int i = 0; i < count; ++i) bytes.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

void Append(Bytes& bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

// A PZX block, and the pulses it sounds (each turning the level).
struct PzxPart {
    std::string tag;
    Bytes body;
    std::uint64_t pulses = 0;
};

// One TZX block and the PZX blocks that hold the same sound.
struct Piece {
    Bytes tzx;
    std::vector<PzxPart> pzx;
};

constexpr std::uint32_t kTail = 945;  // the pulse PZX keeps after a block's last bit

// A PULS block: each (count, pulse), the count in its own word when above one.
PzxPart Puls(const std::vector<std::pair<std::uint32_t, std::uint16_t>>& runs) {
    PzxPart part{"PULS", {}, 0};
    Bytes& body = part.body;
    for (auto [count, pulse] : runs) {
        part.pulses += count;
        for (; count > 0;) {
            const std::uint32_t some = std::min<std::uint32_t>(count, 0x7FFF);
            if (some > 1) Put(body, 0x8000 | some, 2);
            Put(body, pulse, 2);
            count -= some;
        }
    }
    return part;
}

Bytes Data(std::uint32_t bits, std::uint16_t tail, const std::vector<std::uint16_t>& zero,
           const std::vector<std::uint16_t>& one, const Bytes& bytes) {
    Bytes body;
    Put(body, bits, 4);
    Put(body, tail, 2);
    body.push_back(static_cast<std::uint8_t>(zero.size()));
    body.push_back(static_cast<std::uint8_t>(one.size()));
    for (const std::uint16_t pulse : zero) Put(body, pulse, 2);
    for (const std::uint16_t pulse : one) Put(body, pulse, 2);
    Append(body, bytes);
    return body;
}

// The bits' data, the tail, then the pause when there is one.
void AddDataAndPause(Piece& piece, std::uint32_t bits, const std::vector<std::uint16_t>& zero,
                     const std::vector<std::uint16_t>& one, const Bytes& bytes,
                     std::uint16_t pauseMs, std::uint16_t tail = kTail) {
    const bool tailed = pauseMs > 0 && tail > 0;
    std::uint64_t pulses = tailed ? 1 : 0;
    for (std::uint32_t bit = 0; bit < bits; ++bit)
        pulses += (bytes[bit / 8] >> (7 - bit % 8) & 1) != 0 ? one.size() : zero.size();
    piece.pzx.push_back({"DATA", Data(bits, tailed ? tail : 0, zero, one, bytes), pulses});
    if (pauseMs > 0) {
        Bytes pause;
        Put(pause, std::uint32_t{pauseMs} * 3500 - (tailed ? tail : 0), 4);
        piece.pzx.push_back({"PAUS", pause, 1});
    }
}

std::uint32_t BitsOf(const Bytes& bytes, std::uint8_t usedBits) {
    return bytes.empty() ? 0 : static_cast<std::uint32_t>((bytes.size() - 1) * 8 + usedBits);
}

Piece Standard(const Bytes& body, std::uint16_t pauseMs = 1000) {
    Piece piece;
    piece.tzx = {0x10};
    Put(piece.tzx, pauseMs, 2);
    Put(piece.tzx, body.size(), 2);
    Append(piece.tzx, body);
    const std::uint32_t pilots = !body.empty() && body[0] < 0x80 ? 8063 : 3223;
    piece.pzx.push_back(Puls({{pilots, 2168}, {1, 667}, {1, 735}}));
    AddDataAndPause(piece, BitsOf(body, 8), {855, 855}, {1710, 1710}, body, pauseMs);
    return piece;
}

struct Turbo {
    std::uint16_t pilot, sync1, sync2, zero, one, pilots;
    std::uint8_t usedBits = 8;
    std::uint16_t pauseMs = 1000;
};

Piece TurboBlock(const Turbo& t, const Bytes& body) {
    Piece piece;
    piece.tzx = {0x11};
    for (const std::uint16_t field : {t.pilot, t.sync1, t.sync2, t.zero, t.one, t.pilots})
        Put(piece.tzx, field, 2);
    piece.tzx.push_back(t.usedBits);
    Put(piece.tzx, t.pauseMs, 2);
    Put(piece.tzx, body.size(), 3);
    Append(piece.tzx, body);
    piece.pzx.push_back(Puls({{t.pilots, t.pilot}, {1, t.sync1}, {1, t.sync2}}));
    AddDataAndPause(piece, BitsOf(body, t.usedBits), {t.zero, t.zero}, {t.one, t.one}, body,
                    t.pauseMs);
    return piece;
}

Piece Tone(std::uint16_t pulse, std::uint16_t count) {
    Piece piece;
    piece.tzx = {0x12};
    Put(piece.tzx, pulse, 2);
    Put(piece.tzx, count, 2);
    piece.pzx.push_back(Puls({{count, pulse}}));
    return piece;
}

Piece Pulses(const std::vector<std::uint16_t>& pulses) {
    Piece piece;
    piece.tzx = {0x13, static_cast<std::uint8_t>(pulses.size())};
    std::vector<std::pair<std::uint32_t, std::uint16_t>> runs;
    for (const std::uint16_t pulse : pulses) {
        Put(piece.tzx, pulse, 2);
        runs.emplace_back(1, pulse);
    }
    piece.pzx.push_back(Puls(runs));
    return piece;
}

Piece Pure(std::uint16_t zero, std::uint16_t one, const Bytes& body, std::uint16_t pauseMs = 1000,
           std::uint8_t usedBits = 8) {
    Piece piece;
    piece.tzx = {0x14};
    Put(piece.tzx, zero, 2);
    Put(piece.tzx, one, 2);
    piece.tzx.push_back(usedBits);
    Put(piece.tzx, pauseMs, 2);
    Put(piece.tzx, body.size(), 3);
    Append(piece.tzx, body);
    AddDataAndPause(piece, BitsOf(body, usedBits), {zero, zero}, {one, one}, body, pauseMs);
    return piece;
}

// A generalized data block of two symbols and no pilot: each symbol's pulses, each begun by an
// edge, the shorter one ended by a 0 as the format has it.
Piece Generalized(const std::vector<std::uint16_t>& zero, const std::vector<std::uint16_t>& one,
                  const Bytes& body, std::uint32_t bits, std::uint16_t pauseMs) {
    const std::size_t most = std::max(zero.size(), one.size());
    Bytes contents;
    Put(contents, pauseMs, 2);
    Put(contents, 0, 4);
    contents.insert(contents.end(), {0, 0});
    Put(contents, bits, 4);
    contents.insert(contents.end(), {static_cast<std::uint8_t>(most), 2});
    for (const auto* symbol : {&zero, &one}) {
        contents.push_back(0);
        for (std::size_t i = 0; i < most; ++i)
            Put(contents, i < symbol->size() ? (*symbol)[i] : 0, 2);
    }
    Append(contents, body);
    Piece piece;
    piece.tzx = {0x19};
    Put(piece.tzx, contents.size(), 4);
    Append(piece.tzx, contents);
    AddDataAndPause(piece, bits, zero, one, body, pauseMs, 0);
    return piece;
}

// The PZX file of the pieces: its header, then their blocks, those of pulses that follow one
// another joined into one PULS block as the sound they are, each block at the level that gives
// an edge at its start (a PULS starts low, so one after a low pulse starts with a pulse of no
// time).
Bytes PzxOf(const std::vector<Piece>& pieces) {
    std::vector<PzxPart> blocks;
    bool high = false;  // the level of the next pulse
    for (const Piece& piece : pieces) {
        for (PzxPart block : piece.pzx) {
            if (block.tag == "PULS" && !blocks.empty() && blocks.back().tag == "PULS") {
                Append(blocks.back().body, block.body);
            } else if (block.tag == "PULS") {
                if (high) block.body.insert(block.body.begin(), {0, 0});
                blocks.push_back(block);
            } else {
                if (high) block.body[3] |= 0x80;
                blocks.push_back(block);
            }
            high ^= block.pulses % 2 != 0;
        }
    }
    Bytes file = {'P', 'Z', 'X', 'T'};
    Put(file, 2, 4);
    file.insert(file.end(), {1, 0});
    for (const PzxPart& block : blocks) {
        file.insert(file.end(), block.tag.begin(), block.tag.end());
        Put(file, block.body.size(), 4);
        Append(file, block.body);
    }
    return file;
}

Bytes TzxOf(const std::vector<Piece>& pieces) {
    Bytes file = testing::TzxSignature(1, 20);
    for (const Piece& piece : pieces) Append(file, piece.tzx);
    return file;
}

// The bytes of every data block of a TZX tape: the bodies of 0x10, 0x11 and 0x14, and the bits
// of a generalized data block (the last bytes of its data stream).
std::vector<Bytes> DataBlocksOf(const Bytes& tzx) {
    const TapeDocument document =
        TapeDocumentFromBytes(std::string("tape.tzx"), std::make_shared<const Bytes>(tzx));
    std::vector<Bytes> blocks;
    for (const TapeBlock& block : document.blocks) {
        if (block.body) {
            const auto from = document.Bytes().begin() + std::ptrdiff_t(block.body->position);
            blocks.emplace_back(from, from + block.body->length);
        } else if (block.id == 0x19 && block.part.size() >= 14) {
            const auto& part = block.part;
            const std::uint32_t symbols = std::uint32_t(part[8]) | std::uint32_t(part[9]) << 8 |
                                          std::uint32_t(part[10]) << 16 |
                                          std::uint32_t(part[11]) << 24;
            const std::size_t bytes = std::min<std::size_t>((symbols + 7) / 8, part.size());
            blocks.emplace_back(part.end() - std::ptrdiff_t(bytes), part.end());
        }
    }
    return blocks;
}

struct TzxRow {
    const char* name;
    std::vector<Piece> tape;
    // What the PZX reads back as, when it is not the tape itself: another exact form.
    std::vector<Piece> readBack;
};

Bytes Body(std::uint8_t flag, std::size_t length, std::uint8_t seed) {
    Bytes body{flag};
    for (std::size_t i = 0; i < length; ++i)
        body.push_back(static_cast<std::uint8_t>(seed + i * 37 + (i >> 3)));
    return testing::WithChecksum(body);
}

const Bytes kHeader = [] {
    const Bytes tap = testing::TapeBuilder().ProgramHeader("hello", 300, 10, 300).Get();
    return Bytes(tap.begin() + 2, tap.end());
}();

TEST(PzxTape, GivesEveryDataBlockBackByteForByte) {
    const Bytes data = Body(0xFF, 300, 1);
    Bytes badChecksum = Body(0xFF, 200, 9);
    badChecksum.back() ^= 0x5A;
    const Bytes odd = Body(0x7E, 97, 3);
    const std::vector<TzxRow> rows = {
        {"ROM header and data", {Standard(kHeader), Standard(data)}, {}},
        {"ROM blocks without a pause between them", {Standard(kHeader, 0), Standard(data, 0)}, {}},
        {"ROM data of a bad checksum", {Standard(badChecksum)}, {}},
        {"turbo at the ROM's timings, which is a standard block, and at twice their speed",
         {TurboBlock({2168, 667, 735, 855, 1710, 3223}, data),
          TurboBlock({1084, 333, 367, 427, 855, 4000}, data)},
         {Standard(data), TurboBlock({1084, 333, 367, 427, 855, 4000}, data)}},
        {"turbo of odd pulse lengths",
         {TurboBlock({1999, 401, 613, 517, 1033, 1531, 8, 731}, odd)},
         {}},
        {"turbo whose last byte is part used",
         {TurboBlock({2000, 600, 700, 500, 1000, 2000, 5, 200}, odd)},
         {}},
        {"turbo of a pilot longer than a PZX count",
         {TurboBlock({1800, 500, 500, 600, 1200, 40'000, 8, 100}, data)},
         {}},
        {"pure data after a pause",
         {Standard(kHeader), Pure(600, 1200, data), Pure(300, 600, odd, 0, 3)},
         {}},
        {"pure data after its own tone and sync pulses reads as a turbo block",
         {Tone(2000, 3000), Pulses({500, 600}), Pure(700, 1400, data, 500)},
         {TurboBlock({2000, 500, 600, 700, 1400, 3000, 8, 500}, data)}},
        {"pure data after three sync pulses",
         {Tone(2000, 3000), Pulses({500, 600, 550}), Pure(700, 1400, data, 500)},
         {}},
        {"symbols of one pulse a bit",
         {Generalized({900}, {1800}, data, 8 * std::uint32_t(data.size()), 1000)},
         {}},
        {"symbols of unequal pulses, bits in part of a byte",
         {Generalized({600, 1200}, {1200, 600}, odd, 8 * std::uint32_t(odd.size()) - 3, 0)},
         {}},
        {"symbols of three pulses after a tone",
         {Tone(2400, 500),
          Generalized({400, 400, 400}, {800, 800, 800}, data, 8 * std::uint32_t(data.size()), 20)},
         {}},
    };
    std::size_t total = 0, whole = 0;
    for (const TzxRow& row : rows) {
        SCOPED_TRACE(row.name);
        const Bytes tzx = TzxOf(row.tape);
        const DecodedRecording decoded = DecodeRecordingBytes(PzxOf(row.tape));
        EXPECT_EQ(decoded.cut, "");
        const std::vector<Bytes> wanted = DataBlocksOf(tzx);
        std::vector<Bytes> got = DataBlocksOf(decoded.tzx);
        std::size_t rowWhole = 0;
        for (const Bytes& block : wanted) {
            const auto found = std::find(got.begin(), got.end(), block);
            if (found != got.end()) {
                ++rowWhole;
                got.erase(found);
            }
        }
        whole += rowWhole;
        total += wanted.size();
        EXPECT_TRUE(decoded.tzx == (row.readBack.empty() ? tzx : TzxOf(row.readBack)))
            << rowWhole << " of " << wanted.size() << " data blocks whole, in "
            << decoded.tzx.size() << " bytes of TZX";
    }
    EXPECT_EQ(whole, total) << "data blocks whole";
}

// The ROM's pulses of a block in one PULS block, as a recording keeps them, and a pause.
Piece RecordedStandard(const Bytes& body) {
    Piece piece = Standard(body);
    std::vector<std::pair<std::uint32_t, std::uint16_t>> runs = {
        {body[0] < 0x80 ? 8063 : 3223, 2168}, {1, 667}, {1, 735}};
    for (const std::uint8_t byte : body) {
        for (int bit = 7; bit >= 0; --bit)
            runs.emplace_back(2, (byte >> bit & 1) != 0 ? 1710 : 855);
    }
    runs.emplace_back(1, kTail);
    Bytes pause;
    Put(pause, 3'500'000 - kTail, 4);
    piece.pzx = {Puls(runs), {"PAUS", pause, 1}};
    return piece;
}

TEST(PzxTape, ReadsPulsesThatNoDataFollowsAsSoundInTheirPlace) {
    const Bytes data = Body(0xFF, 300, 1);
    const std::vector<Piece> tape = {Standard(kHeader), RecordedStandard(data)};
    std::vector<RecoveredBlock> blocks;
    const DecodedRecording decoded = DecodeRecordingBytes(
        PzxOf(tape), [&blocks](RecoveredBlock block) { blocks.push_back(std::move(block)); });
    EXPECT_EQ(decoded.cut, "");
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0].tzx, tape[0].tzx) << "the header as it is";
    EXPECT_TRUE(blocks[1].data && blocks[1].checksumGood) << "the data read from its sound";
    // The header's pilot, syncs, bits and second of pause come first.
    const double headerSeconds = (8063 * 2168 + 667 + 735) / 3.5e6 + 1;
    EXPECT_GT(blocks[1].seconds, headerSeconds);
    EXPECT_LT(blocks[1].seconds, headerSeconds + 0.1);
    const TapeDocument document =
        TapeDocumentFromBytes(std::string("mixed.pzx"), std::make_shared<const Bytes>(decoded.tzx));
    EXPECT_EQ(ConvertTape(document, TapeFormat::Tap).bytes,
              testing::Concat({{static_cast<std::uint8_t>(kHeader.size()), 0},
                               kHeader,
                               {static_cast<std::uint8_t>(data.size()),
                                static_cast<std::uint8_t>(data.size() >> 8)},
                               data}));
}

TEST(PzxTape, KeepsItsTextsAsArchiveInformationAndTextDescriptions) {
    const std::string info = std::string("Game\0Author\0Me\0Year\0001984\0Loader\0fast", 37);
    Bytes file = {'P', 'Z', 'X', 'T'};
    Put(file, 2 + info.size(), 4);
    file.insert(file.end(), {1, 0});
    file.insert(file.end(), info.begin(), info.end());
    Append(file, {'B', 'R', 'W', 'S', 6, 0, 0, 0, 'S', 'i', 'd', 'e', ' ', 'B'});
    const DecodedRecording decoded = DecodeRecordingBytes(file);
    EXPECT_EQ(decoded.cut, "");
    const Bytes archive = {0x32, 31,  0,    4,   0x00, 4,   'G', 'a', 'm',  'e', 0x02, 2,
                           'M',  'e', 0x03, 4,   '1',  '9', '8', '4', 0xFF, 12,  'L',  'o',
                           'a',  'd', 'e',  'r', ':',  ' ', 'f', 'a', 's',  't'};
    const Bytes text = {0x30, 6, 'S', 'i', 'd', 'e', ' ', 'B'};
    EXPECT_EQ(decoded.tzx, testing::Concat({testing::TzxSignature(1, 20), archive, text}));
}

}  // namespace
}  // namespace brisalto
