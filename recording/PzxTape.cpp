// SPDX-License-Identifier: GPL-3.0-or-later
#include "PzxTape.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "ExactTzxBlocks.h"
#include "PulseDecoder.h"
#include "PulseRuns.h"
#include "PulseStream.h"
#include "PzxDataBlocks.h"
#include "RecordingErrors.h"
#include "SourceReader.h"

namespace brisalto {

namespace {

// A PZX file is blocks, each a four-letter tag, a 32-bit length and that many bytes,
// little-endian; lengths in T-states:
//   PZXT  first: major and minor version (bytes), then texts, each ended by a 0 byte: the title,
//         then pairs of a key and its value
//   PULS  16-bit words, the level low at the block's start and turning at each pulse: a word
//         above 0x8000 is a count (its low 15 bits) for the duration after it; a duration word
//         of 0x8000 or more holds its high 15 bits, and the next word its low 16
//   DATA  32 bits: the count of bits (low 31) and the first level (bit 31); 16 bits: the tail
//         pulse after the last bit; p0, p1 (bytes): the pulses of a 0 bit and of a 1 bit; p0
//         and then p1 16-bit durations; the bits, the most significant of each byte first
//   PAUS  32 bits: the pause's duration (low 31) and its level (bit 31)
//   BRWS  a browse point's text
//   STOP  16 bits: 1 to stop the tape only in 48K mode, 0 always
// Other blocks (those of later minor versions) are passed over.
constexpr std::uint32_t Tag(const char (&name)[5]) {
    return std::uint32_t(std::uint8_t(name[0])) | std::uint32_t(std::uint8_t(name[1])) << 8 |
           std::uint32_t(std::uint8_t(name[2])) << 16 | std::uint32_t(std::uint8_t(name[3])) << 24;
}

constexpr const char* kCutShort = "The recording ends inside a block";
constexpr const char* kBitsPastBlock =
    "The recording's DATA block counts more bits than it holds; it is read to there";

// A PULS block's runs of equal pulses held while it is not known whether a DATA block follows:
// a pilot and its syncs take three, so a block of more is sound at its start.
constexpr std::size_t kHeldRuns = 64;
// The most of a text block read (a PZXT's texts, a browse point's); the rest is passed over.
constexpr std::uint32_t kMostText = 64 * 1024;

// One block's bytes, never past its length.
class BlockBytes {
public:
    BlockBytes(SourceReader& reader, std::uint32_t length) : reader_(reader), left_(length) {}
    bool ReadU8(std::uint8_t& value) { return Take(1) && reader_.ReadU8(value); }
    bool ReadU16(std::uint16_t& value) { return Take(2) && reader_.ReadU16(value); }
    bool ReadU32(std::uint32_t& value) { return Take(4) && reader_.ReadU32(value); }
    // Up to count bytes, fewer at the block's or the file's end.
    std::string ReadText(std::uint32_t count) {
        std::string text(std::min(count, left_), '\0');
        const std::size_t got =
            reader_.Read(reinterpret_cast<std::uint8_t*>(text.data()), text.size());
        left_ -= static_cast<std::uint32_t>(got);
        text.resize(got);
        return text;
    }
    std::uint32_t Left() const noexcept { return left_; }

private:
    bool Take(std::uint32_t count) {
        if (left_ < count) return false;
        left_ -= count;
        return true;
    }
    SourceReader& reader_;
    std::uint32_t left_;
};

class PzxReader {
public:
    PzxReader(ByteSource& source, PzxTapeSink& sink, const RecordingProgress& progress)
        : reader_(source, progress), sink_(sink) {}

    std::string Read();

private:
    void ReadHeader();
    void ReadPuls(BlockBytes& block);
    void ReadData(BlockBytes& block);
    void ReadPause(BlockBytes& block);
    void ReadBrowsePoint(BlockBytes& block);
    void ReadStop(BlockBytes& block);

    void HeldToSound();
    bool RunToSound(const Run& run, bool high);
    void OpenSound(double start);
    void EndSound();
    void Emit(TzxBlockBytes tzx);

    SourceReader reader_;
    PzxTapeSink& sink_;
    const std::function<void()> poll_ = [this] { reader_.Poll(); };
    const PulseOutput output_ = [this](double tstates) { sink_.SoundPulse(tstates); };
    const BlockOutput exact_ = [this](RecoveredBlock block) { sink_.Exact(std::move(block)); };
    PulseStream stream_{output_, poll_};
    double now_ = 0;  // T-states from the file's start to the end of what was read
    bool soundOpen_ = false;
    PulseRuns held_;
    double heldStart_ = 0;
    std::optional<PzxData> pending_;
    std::string note_;
};

std::string PzxReader::Read() {
    ReadHeader();
    for (;;) {
        std::uint32_t tag = 0;
        std::uint32_t length = 0;
        const std::uint64_t start = reader_.Position();
        if (!reader_.ReadU32(tag) || !reader_.ReadU32(length)) {
            if (reader_.Position() != start) note_ = kCutShort;
            break;
        }
        BlockBytes block(reader_, length);
        // What waited for the next block: a DATA block for its pause, a PULS block for a DATA
        // block that would make it the pilot.
        if (pending_ && tag == Tag("PAUS")) {
            ReadPause(block);
        } else {
            if (pending_)
                DataAsBlocks(*std::exchange(pending_, std::nullopt), std::nullopt, exact_);
            if (!held_.Runs().empty() && tag != Tag("DATA")) HeldToSound();
            if (!note_.empty()) break;
            if (tag == Tag("PULS")) {
                ReadPuls(block);
            } else if (tag == Tag("DATA")) {
                ReadData(block);
            } else if (tag == Tag("PAUS")) {
                ReadPause(block);
            } else if (tag == Tag("BRWS")) {
                ReadBrowsePoint(block);
            } else if (tag == Tag("STOP")) {
                ReadStop(block);
            }
        }
        if (!note_.empty()) break;
        // What the block holds past what was read of it.
        if (reader_.Skip(block.Left()) != block.Left()) {
            note_ = kCutShort;
            break;
        }
    }
    if (pending_) DataAsBlocks(*std::exchange(pending_, std::nullopt), std::nullopt, exact_);
    // Pulses read before the file was cut are sound all the same; the first note stays.
    if (!held_.Runs().empty()) {
        const std::string note = std::exchange(note_, {});
        HeldToSound();
        if (!note.empty()) note_ = note;
    }
    EndSound();
    return note_;
}

void PzxReader::ReadHeader() {
    std::uint32_t tag = 0;
    std::uint32_t length = 0;
    if (!reader_.ReadU32(tag) || !reader_.ReadU32(length) || tag != Tag("PZXT"))
        throw RecordingError("The PZX recording does not begin with its header");
    BlockBytes block(reader_, length);
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
    if (!block.ReadU8(major))
        throw RecordingError("The PZX recording does not begin with its header");
    if (major != 1) {
        throw RecordingError("The PZX recording is of version " + std::to_string(major) +
                             ", and Brisalto reads version 1");
    }
    if (!block.ReadU8(minor)) return;
    // The title, then keys and their values, each ended by a 0 byte (the last one may not be).
    const std::string texts = block.ReadText(kMostText);
    std::vector<std::string> parts;
    for (std::size_t from = 0; from < texts.size();) {
        const std::size_t end = std::min(texts.find('\0', from), texts.size());
        parts.push_back(texts.substr(from, end - from));
        from = end + 1;
    }
    // The keys of the PZX format and the archive information's IDs for them.
    static constexpr std::array<std::pair<std::string_view, std::uint8_t>, 9> kKeys = {{
        {"Publisher", 0x01},
        {"Author", 0x02},
        {"Year", 0x03},
        {"Language", 0x04},
        {"Type", 0x05},
        {"Price", 0x06},
        {"Protection", 0x07},
        {"Origin", 0x08},
        {"Comment", 0xFF},
    }};
    std::vector<std::pair<std::uint8_t, std::string>> entries;
    if (!parts.empty() && !parts[0].empty()) entries.emplace_back(0x00, parts[0]);
    for (std::size_t i = 1; i + 1 < parts.size(); i += 2) {
        const auto known = std::find_if(kKeys.begin(), kKeys.end(),
                                        [&](const auto& key) { return key.first == parts[i]; });
        if (known != kKeys.end()) {
            entries.emplace_back(known->second, parts[i + 1]);
        } else {
            entries.emplace_back(0xFF, parts[i] + ": " + parts[i + 1]);
        }
    }
    if (!entries.empty()) Emit(ArchiveInfoBlock(entries));
    if (reader_.Skip(block.Left()) != block.Left()) note_ = kCutShort;
}

void PzxReader::ReadPuls(BlockBytes& block) {
    heldStart_ = now_;
    bool high = false;
    std::uint16_t word = 0;
    while (block.Left() > 0) {
        if (!block.ReadU16(word)) {
            note_ = kCutShort;
            return;
        }
        std::uint64_t count = 1;
        std::uint32_t duration = word;
        if (duration > 0x8000) {
            count = duration & 0x7FFF;
            if (!block.ReadU16(word)) {
                note_ = kCutShort;
                return;
            }
            duration = word;
        }
        if (duration >= 0x8000) {
            if (!block.ReadU16(word)) {
                note_ = kCutShort;
                return;
            }
            duration = (duration & 0x7FFF) << 16 | word;
        }
        held_.Add(high, duration, count);
        if (duration > 0) now_ += double(duration) * double(count);
        if (count % 2 == 1) high = !high;
        // A block too varied to be a pilot and syncs is sound at its start.
        while (held_.Runs().size() > kHeldRuns) {
            bool first = false;
            const Run run = held_.TakeFirst(first);
            if (!RunToSound(run, first)) return;
            heldStart_ += double(run.length) * double(run.count);
        }
    }
}

void PzxReader::ReadData(BlockBytes& block) {
    std::uint32_t bits = 0;
    std::array<std::uint8_t, 2> counts{};
    PzxData data;
    if (!block.ReadU32(bits) || !block.ReadU16(data.tail) || !block.ReadU8(counts[0]) ||
        !block.ReadU8(counts[1])) {
        note_ = kCutShort;
        return;
    }
    bits &= 0x7FFF'FFFFu;  // the first level: every pulse turns it, as in a TZX block
    for (auto* symbol : {&data.zero, &data.one}) {
        symbol->resize(counts[symbol == &data.zero ? 0 : 1]);
        for (std::uint16_t& pulse : *symbol) {
            if (!block.ReadU16(pulse)) {
                note_ = kCutShort;
                return;
            }
        }
    }
    EndSound();
    data.before = std::exchange(held_, {});
    data.beforeStart = heldStart_;
    data.start = now_;
    if (!stream_.Pass(data.before.Pulses(), data.before.TStates())) {
        note_ = stream_.StopNote();
        return;
    }
    const auto sum = [](const std::vector<std::uint16_t>& pulses) {
        double tstates = 0;
        for (const std::uint16_t pulse : pulses) tstates += pulse;
        return tstates;
    };
    const double zeroTStates = sum(data.zero);
    const double oneTStates = sum(data.one);
    const std::uint64_t needed = (std::uint64_t{bits} + 7) / 8;
    const std::uint64_t there = std::min<std::uint64_t>(needed, block.Left());
    data.bytes.reserve(std::min<std::uint64_t>(there, 1u << 20));
    for (std::uint64_t index = 0; index < there; ++index) {
        std::uint8_t byte = 0;
        if (!block.ReadU8(byte)) {
            note_ = kCutShort;
            break;
        }
        const int used = index + 1 == needed && bits % 8 != 0 ? int(bits % 8) : 8;
        const int ones = std::popcount(static_cast<unsigned>(byte >> (8 - used)));
        const int zeros = used - ones;
        const double tstates = ones * oneTStates + zeros * zeroTStates;
        if (!stream_.Pass(std::uint64_t(ones) * counts[1] + std::uint64_t(zeros) * counts[0],
                          tstates)) {
            note_ = stream_.StopNote();
            break;
        }
        data.bytes.push_back(byte);
        now_ += tstates;
    }
    if (note_.empty() && there < needed) note_ = kBitsPastBlock;
    data.bits = static_cast<std::uint32_t>(std::min<std::uint64_t>(bits, data.bytes.size() * 8));
    if (!note_.empty() || !stream_.Pass(data.tail > 0 ? 1 : 0, data.tail)) {
        if (note_.empty()) note_ = stream_.StopNote();
        data.tail = 0;
    }
    now_ += data.tail;
    data.end = now_;
    pending_ = std::move(data);
}

void PzxReader::ReadPause(BlockBytes& block) {
    std::uint32_t pause = 0;
    if (!block.ReadU32(pause)) {
        note_ = kCutShort;
        return;
    }
    const bool high = (pause & 0x8000'0000u) != 0;
    const double tstates = pause & 0x7FFF'FFFFu;
    if (soundOpen_) {
        if (!stream_.Add(high, tstates)) note_ = stream_.StopNote();
        now_ += tstates;
        return;
    }
    std::optional<PzxData> data = std::exchange(pending_, std::nullopt);
    if (!stream_.Pass(1, tstates)) {
        note_ = stream_.StopNote();
        if (data) DataAsBlocks(*data, std::nullopt, exact_);
        return;
    }
    const double start = now_;
    now_ += tstates;
    if (data) {
        DataAsBlocks(*data, tstates, exact_);
    } else {
        PauseAsBlocks(tstates, start, exact_);
    }
}

void PzxReader::ReadBrowsePoint(BlockBytes& block) {
    EndSound();
    std::string text = block.ReadText(255);
    while (!text.empty() && text.back() == '\0') text.pop_back();
    Emit(TextBlock(text));
}

void PzxReader::ReadStop(BlockBytes& block) {
    EndSound();
    std::uint16_t flags = 0;
    if (!block.ReadU16(flags)) flags = 0;
    Emit(flags == 1 ? StopIn48KBlock() : PauseBlock(0));
}

void PzxReader::Emit(TzxBlockBytes tzx) {
    RecoveredBlock block;
    block.tzx = std::move(tzx);
    block.seconds = now_ / kTStatesPerSecond;
    sink_.Exact(std::move(block));
}

void PzxReader::HeldToSound() {
    OpenSound(heldStart_);
    bool high = held_.FirstHigh();
    for (const Run& run : held_.Runs()) {
        if (!RunToSound(run, high)) break;
        if (run.count % 2 == 1) high = !high;
    }
    held_ = {};
}

bool PzxReader::RunToSound(const Run& run, bool high) {
    OpenSound(heldStart_);
    bool after = high;
    if (!stream_.Repeat(run.count, high, double(run.length), after)) {
        note_ = stream_.StopNote();
        return false;
    }
    return true;
}

void PzxReader::OpenSound(double start) {
    if (soundOpen_) return;
    soundOpen_ = true;
    sink_.SoundStarts(start / kTStatesPerSecond);
}

void PzxReader::EndSound() {
    if (!soundOpen_) return;
    stream_.Finish();
    soundOpen_ = false;
    sink_.SoundEnds();
}

}  // namespace

std::string ReadPzxTape(ByteSource& source, PzxTapeSink& sink, const RecordingProgress& progress) {
    PzxReader reader(source, sink, progress);
    return reader.Read();
}

}  // namespace brisalto
