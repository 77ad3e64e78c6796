// SPDX-License-Identifier: GPL-3.0-or-later
// The readers of recordings on small files made to measure: which files are recordings, the
// pulses of PZX and CSW files, the samples of WAV files, and headers that lie, each ending in a
// clear message or a bounded result.
#include <gtest/gtest.h>
#include <zlib.h>

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ConvertTape.h"
#include "CswPulses.h"
#include "DecodeRecording.h"
#include "IsRecording.h"
#include "PzxBuilder.h"
#include "PzxTape.h"
#include "RecordingErrors.h"
#include "SoundFileSamples.h"
#include "SpanSource.h"
#include "TapeDocument.h"

namespace brisalto {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

void Append(Bytes& bytes, const Bytes& more) {
    bytes.insert(bytes.end(), more.begin(), more.end());
}

void Word16(Bytes& bytes, std::uint32_t value) {
    bytes.push_back(static_cast<std::uint8_t>(value));
    bytes.push_back(static_cast<std::uint8_t>(value >> 8));
}

void Word32(Bytes& bytes, std::uint32_t value) {
    Word16(bytes, value & 0xFFFF);
    Word16(bytes, value >> 16);
}

// ---- Which files are recordings

struct StartRow {
    const char* name;
    Bytes bytes;
    bool recording;
};

Bytes Chunked(std::string_view outer, std::string_view kind) {
    Bytes bytes = Text(outer);
    Word32(bytes, 1000);
    Append(bytes, Text(kind));
    return bytes;
}

TEST(IsRecording, TellsRecordingsByTheirFirstBytes) {
    const std::vector<StartRow> rows = {
        {"nothing", {}, false},
        {"RIFF alone", Text("RIFF"), false},
        {"RIFF WAVE", Chunked("RIFF", "WAVE"), true},
        {"RIFF of a video", Chunked("RIFF", "AVI "), false},
        {"RF64 WAVE", Chunked("RF64", "WAVE"), true},
        {"AIFF", Chunked("FORM", "AIFF"), true},
        {"AIFF-C", Chunked("FORM", "AIFC"), true},
        {"FLAC", Text("fLaC"), true},
        {"FLAC one short", Text("fLa"), false},
        {"Ogg", Text("OggS"), true},
        {"PZX", Text("PZXT"), true},
        {"CSW", Text(std::string_view("Compressed Square Wave\x1a", 23)), true},
        {"CSW without its 0x1A", Text("Compressed Square Wave"), false},
        {"TZX", Text("ZXTape!\x1a"), false},
        {"TAP", {0x13, 0x00, 0x00, 0x03, 'l', 'o', 'a', 'd', 'i', 'n', 'g'}, false},
    };
    for (const StartRow& row : rows)
        EXPECT_EQ(IsRecordingStart(row.bytes), row.recording) << row.name;
}

TEST(IsRecording, TellsRecordingsByTheirNamesInAnyCase) {
    for (const char* name : {"side a.wav", "SIDE A.WAV", "x.Flac", "x.ogg", "x.csw", "x.PZX",
                             "x.aif", "x.aiff", "folder/in.zip/x.wav"})
        EXPECT_TRUE(IsRecordingName(name)) << name;
    for (const char* name : {"wav", "x.wave", "x.tap", "x.tzx", "x.wav.txt", ""})
        EXPECT_FALSE(IsRecordingName(name)) << name;
}

// ---- PZX

struct PzxBlock {
    const char* tag;
    Bytes body;
};

Bytes Pzx(const std::vector<PzxBlock>& blocks, std::uint8_t major = 1) {
    Bytes bytes = Text("PZXT");
    Word32(bytes, 2);
    bytes.push_back(major);
    bytes.push_back(0);
    for (const PzxBlock& block : blocks) {
        Append(bytes, Text(block.tag));
        Word32(bytes, static_cast<std::uint32_t>(block.body.size()));
        Append(bytes, block.body);
    }
    return bytes;
}

Bytes Words(std::initializer_list<std::uint32_t> words) {
    Bytes bytes;
    for (const std::uint32_t word : words) Word16(bytes, word);
    return bytes;
}

Bytes Pause(std::uint32_t value) {
    Bytes bytes;
    Word32(bytes, value);
    return bytes;
}

// A DATA block's body: bits from the first level, the tail, the pulses of a 0 and of a 1, bytes.
Bytes Data(std::uint32_t bits, std::uint16_t tail, const std::vector<std::uint16_t>& zero,
           const std::vector<std::uint16_t>& one, const Bytes& data) {
    Bytes bytes;
    Word32(bytes, bits);
    Word16(bytes, tail);
    bytes.push_back(static_cast<std::uint8_t>(zero.size()));
    bytes.push_back(static_cast<std::uint8_t>(one.size()));
    for (const std::uint16_t pulse : zero) Word16(bytes, pulse);
    for (const std::uint16_t pulse : one) Word16(bytes, pulse);
    Append(bytes, data);
    return bytes;
}

struct Pulses {
    std::vector<double> list;
    std::uint64_t count = 0;
    std::string note;
    std::vector<Bytes> exact;  // a PZX's blocks read as they are, each its TZX block
};

// The pulses of a pulse file, the first 1,000 of them listed.
template <typename Reader>
Pulses PulsesOf(Reader reader, const Bytes& bytes) {
    Pulses pulses;
    SpanSource source(bytes);
    pulses.note = reader(
        source,
        [&pulses](double tstates) {
            if (pulses.list.size() < 1000) pulses.list.push_back(tstates);
            ++pulses.count;
        },
        RecordingProgress());
    return pulses;
}

// A PZX file's sound, its first 1,000 pulses listed, and its exact blocks.
class PzxCapture final : public PzxTapeSink {
public:
    explicit PzxCapture(Pulses& pulses) : pulses_(pulses) {}
    void Exact(RecoveredBlock block) override { pulses_.exact.push_back(block.tzx); }
    void SoundStarts(double) override {}
    void SoundPulse(double tstates) override {
        if (pulses_.list.size() < 1000) pulses_.list.push_back(tstates);
        ++pulses_.count;
    }
    void SoundEnds() override {}

private:
    Pulses& pulses_;
};

Pulses PzxOf(const Bytes& bytes) {
    Pulses pulses;
    SpanSource source(bytes);
    PzxCapture capture(pulses);
    pulses.note = ReadPzxTape(source, capture, RecordingProgress());
    return pulses;
}

struct PzxRow {
    const char* name;
    std::vector<PzxBlock> blocks;
    std::vector<double> pulses;
    std::vector<Bytes> exact = {};
};

// PULS blocks that no DATA block follows are sound, given as the pulses between its edges; DATA
// blocks and the pulses before them are read as they are.
// Pulses of 100 to 169 T-states, one each, then a pilot of 5 and syncs of 500 and 600: more
// runs than a pilot's, so the first of them are sound, and the last 61 are pulses before a turbo
// block.
Bytes VariedPulsesThenAPilot() {
    Bytes words;
    for (std::uint32_t pulse = 100; pulse < 170; ++pulse) Word16(words, pulse);
    Append(words, Words({0x8005, 2000, 500, 600}));
    return words;
}

Bytes PulsesBlockOf(std::uint32_t from, std::uint32_t to) {
    Bytes block = {0x13, static_cast<std::uint8_t>(to - from)};
    for (std::uint32_t pulse = from; pulse < to; ++pulse) Word16(block, pulse);
    return block;
}

TEST(PzxTape, GivesTheSoundsPulsesBetweenItsEdgesAndTheDataAsItIs) {
    const std::vector<PzxRow> rows = {
        {"no blocks", {}, {}},
        {"one pulse", {{"PULS", Words({1000})}}, {1000}},
        {"a count", {{"PULS", Words({0x8003, 500})}}, {500, 500, 500}},
        {"a count of one", {{"PULS", Words({0x8001, 500})}}, {500}},
        {"32 bits after a count", {{"PULS", Words({0x8001, 0x8001, 0x0002})}}, {65538}},
        {"0x8000 is 32 bits of no high ones", {{"PULS", Words({0x8000, 7})}}, {7}},
        {"a count of 32 bits", {{"PULS", Words({0x8002, 0x8001, 0})}}, {65536, 65536}},
        {"a pulse of no time joins its neighbours", {{"PULS", Words({100, 0, 200})}}, {300}},
        {"two of no time leave the level", {{"PULS", Words({100, 0x8002, 0, 200})}}, {100, 200}},
        {"three of no time turn it", {{"PULS", Words({100, 0x8003, 0, 200})}}, {300}},
        {"each block starts low", {{"PULS", Words({100})}, {"PULS", Words({200})}}, {300}},
        {"a block after a high end",
         {{"PULS", Words({100, 50})}, {"PULS", Words({200})}},
         {100, 50, 200}},
        {"a pause at the other level",
         {{"PULS", Words({100})}, {"PAUS", Pause(0x8000'03E8)}},
         {100, 1000}},
        {"a pause at the same level", {{"PULS", Words({100})}, {"PAUS", Pause(1000)}}, {1100}},
        {"data bits 1 0 1 as pure data, the tail as a pulse",
         {{"DATA", Data(3, 945, {855, 855}, {1710, 1710}, {0b1010'0000})}},
         {},
         {{0x14, 0x57, 0x03, 0xAE, 0x06, 3, 0, 0, 1, 0, 0, 0b1010'0000}, {0x13, 1, 0xB1, 0x03}}},
        {"data of unequal symbols after a pulse",
         {{"PULS", Words({100})}, {"DATA", Data(0x8000'0001, 0, {855, 855}, {1710}, {0})}},
         {},
         {{0x13, 1, 100, 0}, {0x19, 25, 0, 0, 0, 0,    0,    0,    0,    0, 0,    0,    0, 1, 0,
                              0,    0,  2, 2, 0, 0x57, 0x03, 0x57, 0x03, 0, 0xAE, 0x06, 0, 0, 0}}},
        {"a pause after data in its field, the tail included",
         {{"DATA", Data(8, 945, {855, 855}, {1710, 1710}, {0x55})}, {"PAUS", Pause(7000 - 945)}},
         {},
         {{0x14, 0x57, 0x03, 0xAE, 0x06, 8, 2, 0, 1, 0, 0, 0x55}}},
        {"a pause past a block's field goes on in pause blocks",
         {{"DATA", Data(8, 0, {855, 855}, {1710, 1710}, {0x55})}, {"PAUS", Pause(70'000 * 3500)}},
         {},
         {{0x14, 0x57, 0x03, 0xAE, 0x06, 8, 0xFF, 0xFF, 1, 0, 0, 0x55}, {0x20, 0x71, 0x11}}},
        {"a pause after data but a PULS between is sound",
         {{"DATA", Data(8, 0, {855, 855}, {1710, 1710}, {0x55})},
          {"PULS", Words({300})},
          {"PAUS", Pause(0x8000'0000 | 7000)}},
         {300, 7000},
         {{0x14, 0x57, 0x03, 0xAE, 0x06, 8, 0, 0, 1, 0, 0, 0x55}}},
        {"a pause alone", {{"PAUS", Pause(3500 * 3)}}, {}, {{0x20, 3, 0}}},
        {"pulses too varied for a pilot are sound up to the pilot's",
         {{"PULS", VariedPulsesThenAPilot()},
          {"DATA", Data(8, 0, {855, 855}, {1710, 1710}, {0x55})}},
         {100, 101, 102, 103, 104, 105, 106, 107, 108},
         {PulsesBlockOf(109, 170), {0x11, 0xD0, 0x07, 0xF4, 0x01, 0x58, 0x02, 0x57, 0x03, 0xAE,
                                    0x06, 5,    0,    8,    0,    0,    1,    0,    0,    0x55}}},
        {"browse points and stops as their blocks",
         {{"BRWS", Text("side a")}, {"STOP", {0, 0}}, {"STOP", {1, 0}}, {"PULS", Words({7})}},
         {7},
         {{0x30, 6, 's', 'i', 'd', 'e', ' ', 'a'}, {0x20, 0, 0}, {0x2A, 0, 0, 0, 0}}},
    };
    for (const PzxRow& row : rows) {
        const Pulses pulses = PzxOf(Pzx(row.blocks));
        EXPECT_EQ(pulses.list, row.pulses) << row.name;
        EXPECT_EQ(pulses.exact, row.exact) << row.name;
        EXPECT_EQ(pulses.note, "") << row.name;
    }
}

// ---- CSW

constexpr double kSample = 3'500'000.0 / 44'100;

Bytes CswHeader(std::uint8_t major, std::uint32_t rate, std::uint8_t compression,
                std::uint8_t extension = 0) {
    Bytes bytes = Text(std::string_view("Compressed Square Wave\x1a", 23));
    bytes.push_back(major);
    bytes.push_back(1);
    if (major == 1) {
        Word16(bytes, rate);
        bytes.push_back(compression);
        for (int i = 0; i < 4; ++i) bytes.push_back(0);
        return bytes;
    }
    Word32(bytes, rate);
    Word32(bytes, 4);  // the pulses' count, which is not trusted
    bytes.push_back(compression);
    bytes.push_back(0);
    bytes.push_back(extension);
    Append(bytes, Text("Brisalto tests  "));
    for (int i = 0; i < extension; ++i) bytes.push_back(0xEE);
    return bytes;
}

// Pulses of 10, 20, 10,000 and 5 samples.
const Bytes kRle = {10, 20, 0, 0x10, 0x27, 0, 0, 5};

Bytes Deflated(const Bytes& bytes) {
    uLongf size = compressBound(static_cast<uLong>(bytes.size()));
    Bytes packed(size);
    EXPECT_EQ(compress(packed.data(), &size, bytes.data(), static_cast<uLong>(bytes.size())), Z_OK);
    packed.resize(size);
    return packed;
}

Bytes Cut(Bytes bytes, std::size_t length) {
    bytes.resize(length);
    return bytes;
}

Bytes Joined(Bytes first, const Bytes& second) {
    Append(first, second);
    return first;
}

Pulses CswOf(const Bytes& bytes) {
    return PulsesOf(&CswPulses, bytes);
}

TEST(CswPulses, ReadsVersionsOneAndTwoAndZRle) {
    const std::vector<double> expected = {10 * kSample, 20 * kSample, 10'000 * kSample,
                                          5 * kSample};
    const std::vector<std::pair<const char*, Bytes>> rows = {
        {"version 1", Joined(CswHeader(1, 44'100, 1), kRle)},
        {"version 2", Joined(CswHeader(2, 44'100, 1), kRle)},
        {"version 2, an extension", Joined(CswHeader(2, 44'100, 1, 3), kRle)},
        {"version 2, Z-RLE", Joined(CswHeader(2, 44'100, 2), Deflated(kRle))},
    };
    for (const auto& [name, bytes] : rows) {
        const Pulses pulses = CswOf(bytes);
        ASSERT_EQ(pulses.list.size(), expected.size()) << name;
        for (std::size_t i = 0; i < expected.size(); ++i)
            EXPECT_NEAR(pulses.list[i], expected[i], 1e-6) << name << " pulse " << i;
        EXPECT_EQ(pulses.note, "") << name;
    }
}

// ---- WAV

struct Wav {
    std::uint16_t format = 1;  // 1 PCM, 3 float
    std::uint16_t channels = 1;
    std::uint32_t rate = 44'100;
    std::uint16_t bits = 16;
    std::optional<std::uint32_t> statedData =
        std::nullopt;  // the data chunk's length, if not the true one
};

Bytes WavFile(const Wav& wav, const Bytes& data) {
    Bytes bytes = Text("RIFF");
    Word32(bytes, static_cast<std::uint32_t>(36 + data.size()));
    Append(bytes, Text("WAVEfmt "));
    Word32(bytes, 16);
    Word16(bytes, wav.format);
    Word16(bytes, wav.channels);
    Word32(bytes, wav.rate);
    const std::uint32_t frameBytes = wav.channels * ((wav.bits + 7u) / 8);
    Word32(bytes, wav.rate * frameBytes);
    Word16(bytes, frameBytes);
    Word16(bytes, wav.bits);
    Append(bytes, Text("data"));
    Word32(bytes, wav.statedData.value_or(static_cast<std::uint32_t>(data.size())));
    Append(bytes, data);
    return bytes;
}

Bytes Samples16(std::initializer_list<int> samples, std::size_t repeat = 1) {
    Bytes bytes;
    for (std::size_t i = 0; i < repeat; ++i) {
        for (const int sample : samples) Word16(bytes, static_cast<std::uint16_t>(sample));
    }
    return bytes;
}

std::vector<float> AllSamples(SoundFileSamples& samples) {
    std::vector<float> all;
    for (std::span<const float> chunk = samples.Next(); !chunk.empty(); chunk = samples.Next())
        all.insert(all.end(), chunk.begin(), chunk.end());
    return all;
}

TEST(SoundFileSamples, MixesChannelsToMonoAtTheFilesRate) {
    const Bytes wav = WavFile({.channels = 2, .rate = 22'050},
                              Samples16({16384, 16384, 16384, -16384, -32768, 0}));
    SoundFileSamples samples(std::span<const std::uint8_t>(wav.data(), wav.size()));
    EXPECT_EQ(samples.SampleRate(), 22'050);
    EXPECT_EQ(samples.Channels(), 2);
    EXPECT_EQ(AllSamples(samples), (std::vector<float>{0.5f, 0.0f, -0.5f}));
    EXPECT_EQ(samples.Fraction(), 1.0);
    EXPECT_EQ(samples.Note(), "");
}

TEST(SoundFileSamples, StreamsALongFileAChunkAtATime) {
    // 200,000 frames of 4 channels: more than one chunk, never all of them at once.
    const Bytes wav = WavFile({.channels = 4}, Samples16({0, 0, 0, 0}, 200'000));
    SoundFileSamples samples(std::span<const std::uint8_t>(wav.data(), wav.size()));
    std::size_t total = 0;
    std::size_t largest = 0;
    for (std::span<const float> chunk = samples.Next(); !chunk.empty(); chunk = samples.Next()) {
        total += chunk.size();
        largest = std::max(largest, chunk.size());
    }
    EXPECT_EQ(total, 200'000u);
    EXPECT_EQ(largest, 16'384u);
}

// ---- Bad input: each a clear message or a bounded result

enum class Kind { Wav, Csw, Pzx };

struct BadRow {
    const char* name;
    Kind kind;
    Bytes bytes;
    std::string refusal;  // RecordingError's message, if refused
    std::string note;     // else the note the reading ends with
    std::uint64_t count;  // and the samples or pulses read
};

Bytes ZeroPulsesRepeated(std::size_t times) {
    Bytes words;
    for (std::size_t i = 0; i < times; ++i) Append(words, Words({0xFFFF, 0}));
    return words;
}

Bytes HugeCounts() {
    // 32,767 pulses a count: past 100 million pulses in 3,052 of them (within 4 hours).
    Bytes words;
    for (int i = 0; i < 4000; ++i) Append(words, Words({0xFFFF, 100}));
    return words;
}

TEST(BadRecordings, EndInAClearMessageOrABoundedResult) {
    // Stored, not packed: the pulses before the cut are known (the stream's first 7 bytes are
    // its header and the stored block's).
    const Bytes kCutStream = [] {
        Bytes packed(compressBound(1000));
        uLongf size = static_cast<uLongf>(packed.size());
        const Bytes pulses(1000, 7);
        EXPECT_EQ(compress2(packed.data(), &size, pulses.data(), 1000, 0), Z_OK);
        packed.resize(500);
        return packed;
    }();
    const Bytes kDamagedStream = [] {
        Bytes packed = Deflated(Bytes(1000, 7));
        for (std::size_t i = 2; i < packed.size(); ++i) packed[i] = 0xFF;
        return packed;
    }();
    const std::string kPast = "The recording goes on past 100 million pulses; it is read to there";
    const std::vector<BadRow> rows = {
        {"WAV data size past the end", Kind::Wav,
         WavFile({.statedData = 1'000'000}, Samples16({1, 2}, 500)), "", "", 1000},
        {"WAV of 0 channels", Kind::Wav, WavFile({.channels = 0}, Samples16({1}, 10)),
         "The recording has no channels", "", 0},
        {"WAV at 0 Hz", Kind::Wav, WavFile({.rate = 0}, Samples16({1}, 10)),
         "The recording gives a sample rate of 0 Hz; Brisalto reads rates of 1 to 1,000,000 Hz", "",
         0},
        {"WAV at 1,000,001 Hz", Kind::Wav, WavFile({.rate = 1'000'001}, Samples16({1}, 10)),
         "The recording gives a sample rate of 1000001 Hz; Brisalto reads rates of 1 to "
         "1,000,000 Hz",
         "", 0},
        {"WAV at 4 GHz", Kind::Wav, WavFile({.rate = 4'000'000'000u}, Samples16({1}, 10)),
         "The recording gives a sample rate of 4000000000 Hz; Brisalto reads rates of 1 to "
         "1,000,000 Hz",
         "", 0},
        {"WAV of 1-bit samples", Kind::Wav, WavFile({.bits = 1}, Bytes(100, 0x55)),
         "The recording's samples are of 1 bits; Brisalto reads samples of 8, 16, 24 or 32 bits",
         "", 0},
        {"WAV of a format chunk cut short", Kind::Wav, Cut(WavFile({}, Samples16({1}, 10)), 30),
         "The recording cannot be read as sound (", "", 0},
        {"WAV of nothing but its signature", Kind::Wav, Chunked("RIFF", "WAVE"),
         "The recording cannot be read as sound (", "", 0},
        {"CSW without its signature", Kind::Csw, Joined(Text("Compressed Square Wav!"), kRle),
         "The recording is no CSW file", "", 0},
        {"CSW cut inside its header", Kind::Csw, Cut(CswHeader(1, 44'100, 1), 30),
         "The CSW recording ends inside its header", "", 0},
        {"CSW of version 3", Kind::Csw, Joined(CswHeader(3, 44'100, 1), kRle),
         "The CSW recording is of version 3, and Brisalto reads versions 1 and 2", "", 0},
        {"CSW at 0 Hz", Kind::Csw, Joined(CswHeader(2, 0, 1), kRle),
         "The CSW recording gives a sample rate of 0", "", 0},
        {"CSW version 1 of Z-RLE", Kind::Csw, Joined(CswHeader(1, 44'100, 2), kRle),
         "The CSW recording is compressed in a way Brisalto cannot read (2)", "", 0},
        {"CSW run length cut by the end", Kind::Csw,
         Joined(CswHeader(1, 44'100, 1), {10, 20, 0, 0x10}), "",
         "The recording's pulses end inside a pulse's length", 2},
        {"CSW run length of 2^32-1 samples is one pulse", Kind::Csw,
         Joined(CswHeader(1, 44'100, 1), {0, 0xFF, 0xFF, 0xFF, 0xFF}), "", "", 1},
        {"CSW compressed pulses cut", Kind::Csw, Joined(CswHeader(2, 44'100, 2), kCutStream), "",
         "The recording's compressed pulses end short of their end", 493},
        {"CSW compressed pulses damaged", Kind::Csw,
         Joined(CswHeader(2, 44'100, 2), kDamagedStream), "",
         "The recording's compressed pulses are damaged (", 0},
        {"PZX without its header", Kind::Pzx, Joined(Text("PZXT"), Bytes(2, 0)),
         "The PZX recording does not begin with its header", "", 0},
        {"PZX of version 2", Kind::Pzx, Pzx({{"PULS", Words({100})}}, 2),
         "The PZX recording is of version 2, and Brisalto reads version 1", "", 0},
        {"PZX block past the end", Kind::Pzx, Cut(Pzx({{"PULS", Words({100, 200, 300})}}), 22), "",
         "The recording ends inside a block", 2},
        {"PZX DATA counting more bits than it holds", Kind::Pzx,
         Pzx({{"DATA", Data(100, 0, {855}, {1710}, {0xFF})}}), "",
         "The recording's DATA block counts more bits than it holds; it is read to there", 0},
        {"PZX of huge pulse counts", Kind::Pzx, Pzx({{"PULS", HugeCounts()}}), "", kPast,
         kMaxPulses},
        {"PZX repeating its longest pulse", Kind::Pzx,
         Pzx({{"PULS", Words({0xFFFF, 0xFFFF, 0xFFFF})}}), "",
         "The recording goes on past 4 hours; it is read to there", 24},
        {"PZX of huge counts of no time", Kind::Pzx, Pzx({{"PULS", ZeroPulsesRepeated(10'000)}}),
         "", "", 0},
        // DATA blocks are not sound, but their pulses count all the same.
        {"PZX DATA of bits past 4 hours", Kind::Pzx,
         Pzx({{"DATA", Data(8 * 400, 0, std::vector<std::uint16_t>(255, 0xFFFF),
                            std::vector<std::uint16_t>(255, 0xFFFF), Bytes(400, 0))}}),
         "", "The recording goes on past 4 hours; it is read to there", 0},
        {"PZX DATA of bits past 100 million pulses", Kind::Pzx,
         Pzx({{"DATA", Data(8 * 50'000, 0, std::vector<std::uint16_t>(255, 1),
                            std::vector<std::uint16_t>(255, 1), Bytes(50'000, 0))}}),
         "", kPast, 0},
    };
    for (const BadRow& row : rows) {
        SCOPED_TRACE(row.name);
        try {
            std::uint64_t count = 0;
            std::string note;
            if (row.kind == Kind::Wav) {
                SoundFileSamples samples(std::span<const std::uint8_t>(row.bytes));
                count = AllSamples(samples).size();
                note = samples.Note();
            } else {
                const Pulses pulses = row.kind == Kind::Csw ? CswOf(row.bytes) : PzxOf(row.bytes);
                count = pulses.count;
                note = pulses.note;
            }
            EXPECT_EQ(row.refusal, "") << "read, not refused";
            EXPECT_EQ(note.substr(0, row.note.size()), row.note);
            EXPECT_EQ(note.empty(), row.note.empty());
            EXPECT_EQ(count, row.count);
        } catch (const RecordingError& refused) {
            EXPECT_NE(row.refusal, "") << refused.what();
            EXPECT_EQ(std::string(refused.what()).substr(0, row.refusal.size()), row.refusal);
        }
    }
}

// ---- Through the decoder

TEST(DecodeRecording, GivesBackTheTapeOfAPzxAsTheRomSavesIt) {
    const Bytes tap =
        testing::TapeBuilder().ProgramHeader("hello", 120, 10, 80).Data(Bytes(120, 0x20)).Get();
    const DecodedRecording decoded = DecodeRecordingBytes(testing::RomPzx(tap));
    EXPECT_EQ(decoded.cut, "");
    const TapeDocument document =
        TapeDocumentFromBytes(std::string("hello.pzx"), std::make_shared<const Bytes>(decoded.tzx));
    EXPECT_EQ(ConvertTape(document, TapeFormat::Tap).bytes, tap);
}

// ---- Progress

TEST(DecodeRecording, TellsProgressUpToTheWholeAndStopsWhenCancelled) {
    const Bytes wav = WavFile({}, Samples16({0, 1000, 0, -1000}, 100'000));
    std::vector<double> told;
    DecodeRecordingBytes(wav, {}, [&told](double fraction) {
        told.push_back(fraction);
        return true;
    });
    ASSERT_GE(told.size(), 3u);
    EXPECT_EQ(told.front(), 0.0);
    EXPECT_EQ(told.back(), 1.0);
    EXPECT_TRUE(std::is_sorted(told.begin(), told.end()));

    int calls = 0;
    EXPECT_THROW(DecodeRecordingBytes(wav, {}, [&calls](double) { return ++calls < 3; }),
                 RecordingCancelled);
    EXPECT_EQ(calls, 3);

    const Bytes pzx = Pzx({{"PULS", HugeCounts()}});
    calls = 0;
    EXPECT_THROW(DecodeRecordingBytes(pzx, {}, [&calls](double) { return ++calls < 5; }),
                 RecordingCancelled)
        << "a million pulses taken from a few bytes still tell progress";
}

}  // namespace
}  // namespace brisalto
