// SPDX-License-Identifier: GPL-3.0-or-later
#include "PzxPulses.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "RecordingErrors.h"
#include "SourceReader.h"

namespace brisalto {

namespace {

// A PZX file (Patrik Rak's Perfect ZX Tape) is blocks, each a four-letter tag, a 32-bit length
// and that many bytes, little-endian; lengths in T-states:
//   PZXT  first: major and minor version (bytes), then texts
//   PULS  16-bit words, the level low at the block's start and turning at each pulse: a word
//         above 0x8000 is a count (its low 15 bits) for the duration after it; a duration word
//         of 0x8000 or more holds its high 15 bits, and the next word its low 16
//   DATA  32 bits: the count of bits (low 31) and the first level (bit 31); 16 bits: the tail
//         pulse after the last bit; p0, p1 (bytes): the pulses of a 0 bit and of a 1 bit; p0
//         and then p1 16-bit durations; the bits, the most significant of each byte first
//   PAUS  32 bits: the pause's duration (low 31) and its level (bit 31)
// Other blocks (BRWS, STOP, those of later minor versions) carry no sound.
constexpr std::uint32_t Tag(const char (&name)[5]) {
    return std::uint32_t(std::uint8_t(name[0])) | std::uint32_t(std::uint8_t(name[1])) << 8 |
           std::uint32_t(std::uint8_t(name[2])) << 16 | std::uint32_t(std::uint8_t(name[3])) << 24;
}

constexpr const char* kCutShort = "The recording ends inside a block";

// One block's bytes, never past its length.
class BlockBytes {
public:
    BlockBytes(SourceReader& reader, std::uint32_t length) : reader_(reader), left_(length) {}
    bool ReadU8(std::uint8_t& value) { return Take(1) && reader_.ReadU8(value); }
    bool ReadU16(std::uint16_t& value) { return Take(2) && reader_.ReadU16(value); }
    bool ReadU32(std::uint32_t& value) { return Take(4) && reader_.ReadU32(value); }
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

// Each of a block's readers: an empty note when the block was read whole.
std::string ReadPulses(BlockBytes& block, PulseStream& pulses) {
    bool high = false;
    std::uint16_t word = 0;
    while (block.Left() > 0) {
        if (!block.ReadU16(word)) return kCutShort;
        std::uint64_t count = 1;
        std::uint32_t duration = word;
        if (duration > 0x8000) {
            count = duration & 0x7FFF;
            if (!block.ReadU16(word)) return kCutShort;
            duration = word;
        }
        if (duration >= 0x8000) {
            if (!block.ReadU16(word)) return kCutShort;
            duration = (duration & 0x7FFF) << 16 | word;
        }
        if (!pulses.Repeat(count, high, duration, high)) return pulses.StopNote();
    }
    return {};
}

std::string ReadData(BlockBytes& block, PulseStream& pulses) {
    std::uint32_t bits = 0;
    std::uint16_t tail = 0;
    std::array<std::uint8_t, 2> counts{};
    if (!block.ReadU32(bits) || !block.ReadU16(tail) || !block.ReadU8(counts[0]) ||
        !block.ReadU8(counts[1]))
        return kCutShort;
    bool high = (bits & 0x8000'0000u) != 0;
    bits &= 0x7FFF'FFFFu;
    std::array<std::array<std::uint16_t, 255>, 2> sequences{};
    for (std::size_t bit = 0; bit < 2; ++bit) {
        for (std::size_t index = 0; index < counts[bit]; ++index) {
            if (!block.ReadU16(sequences[bit][index])) return kCutShort;
        }
    }
    std::uint8_t byte = 0;
    for (std::uint32_t index = 0; index < bits; ++index) {
        if (index % 8 == 0 && !block.ReadU8(byte)) {
            return "The recording's DATA block counts more bits than it holds; it is read to "
                   "there";
        }
        const std::size_t bit = (byte >> (7 - index % 8)) & 1u;
        for (std::size_t pulse = 0; pulse < counts[bit]; ++pulse) {
            if (!pulses.Add(high, sequences[bit][pulse])) return pulses.StopNote();
            high = !high;
        }
    }
    if (!pulses.Add(high, tail)) return pulses.StopNote();
    return {};
}

}  // namespace

std::string PzxPulses(ByteSource& source, const PulseOutput& output,
                      const RecordingProgress& progress) {
    SourceReader reader(source, progress);
    const std::function<void()> poll = [&reader] { reader.Poll(); };
    PulseStream pulses(output, poll);
    std::string note;
    bool first = true;
    for (;;) {
        std::uint32_t tag = 0;
        std::uint32_t length = 0;
        const std::uint64_t start = reader.Position();
        const bool whole = reader.ReadU32(tag) && reader.ReadU32(length);
        if (first && !whole)
            throw RecordingError("The PZX recording does not begin with its header");
        if (!whole) {
            if (reader.Position() != start) note = kCutShort;
            break;
        }
        BlockBytes block(reader, length);
        if (first) {
            std::uint8_t major = 0;
            if (tag != Tag("PZXT") || !block.ReadU8(major))
                throw RecordingError("The PZX recording does not begin with its header");
            if (major != 1) {
                throw RecordingError("The PZX recording is of version " + std::to_string(major) +
                                     ", and Brisalto reads version 1");
            }
            first = false;
        } else if (tag == Tag("PULS")) {
            note = ReadPulses(block, pulses);
        } else if (tag == Tag("DATA")) {
            note = ReadData(block, pulses);
        } else if (tag == Tag("PAUS")) {
            std::uint32_t pause = 0;
            if (!block.ReadU32(pause)) {
                note = kCutShort;
            } else if (!pulses.Add((pause & 0x8000'0000u) != 0, pause & 0x7FFF'FFFFu)) {
                note = pulses.StopNote();
            }
        }
        if (!note.empty()) break;
        // What the block holds past what was read of it.
        if (reader.Skip(block.Left()) != block.Left()) {
            note = kCutShort;
            break;
        }
    }
    pulses.Finish();
    return note;
}

}  // namespace brisalto
