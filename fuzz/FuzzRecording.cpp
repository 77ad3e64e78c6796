// SPDX-License-Identifier: GPL-3.0-or-later
// Reads any bytes as a recording. Input: one byte of settings, then the recording. With bit 7
// set, the recording is a file's bytes (WAV and what libsndfile reads, CSW, PZX); else its
// samples, bits 0-2 the sample rate, bit 3 16-bit little-endian samples rather than 8-bit
// unsigned ones, bits 4-5 how many samples are given at a time. A refusal (RecordingError) is a
// normal outcome; these are findings: a crash, a sanitizer report, a hang, a tape that the tape
// reader does not read whole, that differs from the blocks handed out as they came, progress
// that goes back, or samples whose tape sounds for much less time than they do (sound lost).
#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "DecodeRecording.h"
#include "FuzzCheck.h"
#include "RecordingDecoder.h"
#include "RecordingErrors.h"
#include "RecoveredBlock.h"
#include "TapeDocument.h"

namespace {

using brisalto::fuzzing::Require;

constexpr std::array<double, 8> kRates = {11'025, 16'000, 22'050, 32'000,
                                          44'100, 48'000, 96'000, 192'000};
constexpr std::array<std::size_t, 4> kChunks = {4096, 1, 7, 1000};
constexpr std::size_t kTzxHeaderSize = 10;

std::vector<float> Samples(std::span<const std::uint8_t> bytes, bool sixteenBits) {
    std::vector<float> samples;
    if (sixteenBits) {
        for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
            const auto value = static_cast<std::int16_t>(bytes[i] | bytes[i + 1] << 8);
            samples.push_back(static_cast<float>(value) / 32768.0f);
        }
    } else {
        for (const std::uint8_t byte : bytes) {
            samples.push_back(static_cast<float>(byte - 128) / 128.0f);
        }
    }
    return samples;
}

std::uint8_t Xor(std::span<const std::uint8_t> bytes) {
    std::uint8_t value = 0;
    for (const std::uint8_t byte : bytes) value ^= byte;
    return value;
}

// What a data block says of itself against the body it holds.
void CheckDataBlock(const brisalto::RecoveredBlock& block, const brisalto::TapeBlock& read) {
    Require(read.body.has_value(), "a data block has a body");
    Require(read.body->length == block.dataLength, "a data block's length is its body's");
    const auto body =
        std::span(block.tzx).last(std::min<std::size_t>(block.dataLength, block.tzx.size()));
    Require(block.checksumGood == (block.dataLength > 0 && Xor(body) == 0),
            "a block checks where its bytes XOR to zero");
    Require(!block.broke || block.broke->byte <= block.dataLength, "a break lies in the block");
}

// The T-states a recovered block sounds for, from its own fields (at offsets after its ID).
double BlockTstates(const std::vector<std::uint8_t>& tzx) {
    const auto word = [&tzx](std::size_t at) {
        return at + 2 < tzx.size() ? double(tzx[at + 1] | tzx[at + 2] << 8) : 0.0;
    };
    const auto bits = [&tzx](std::size_t from, double zero, double one) {
        double tstates = 0;
        for (std::size_t i = from; i < tzx.size(); ++i) {
            const int ones = std::popcount(tzx[i]);
            tstates += 2 * (ones * one + (8 - ones) * zero);
        }
        return tstates;
    };
    switch (tzx[0]) {
        case 0x10: {
            const double pilot = (tzx.size() > 5 && tzx[5] < 0x80 ? 8063 : 3223) * 2168.0;
            return pilot + 667 + 735 + bits(5, 855, 1710) + word(0) * 3500;
        }
        case 0x11:
            return word(0) * word(10) + word(2) + word(4) + bits(19, word(6), word(8)) +
                   word(13) * 3500;
        case 0x12: return word(0) * word(2);
        case 0x13: {
            double tstates = 0;
            for (std::size_t i = 0; tzx.size() > 1 && i < tzx[1]; ++i) tstates += word(1 + 2 * i);
            return tstates;
        }
        case 0x20: return word(0) * 3500;
        default: return 0;
    }
}

// What the tape made of a recording (of recordingSeconds, when known) must be, whichever way it
// was read: the blocks as they came, in the recording's order, the whole TZX file read by the
// tape reader. The T-states it sounds for.
double CheckTape(const std::vector<brisalto::RecoveredBlock>& blocks,
                 const std::shared_ptr<const std::vector<std::uint8_t>>& tzx,
                 std::uint32_t dataBlocksCounted, double recordingSeconds) {
    Require(tzx->size() >= kTzxHeaderSize, "a TZX file's header");
    std::vector<std::uint8_t> joined(tzx->begin(), tzx->begin() + kTzxHeaderSize);
    double seconds = 0;
    double tstates = 0;
    std::uint32_t dataBlocks = 0;
    for (const brisalto::RecoveredBlock& block : blocks) {
        Require(!block.tzx.empty(), "a block has its ID");
        Require(block.seconds >= seconds, "blocks come in the recording's order");
        seconds = block.seconds;
        joined.insert(joined.end(), block.tzx.begin(), block.tzx.end());
        if (block.data) ++dataBlocks;
        tstates += BlockTstates(block.tzx);
    }
    Require(seconds <= recordingSeconds, "no block starts after the recording");
    Require(joined == *tzx, "the tape is the blocks as they came");
    Require(dataBlocks == dataBlocksCounted, "every data block counted");

    const brisalto::TapeDocument document =
        brisalto::TapeDocumentFromBytes(brisalto::TapeLocation{"recording"}, tzx);
    Require(!document.failure && document.result == brisalto::ScanResult::Completed,
            "the tape reads whole");
    Require(document.blocks.size() == blocks.size(), "the tape reader finds every block");
    for (std::size_t i = 0; i < blocks.size(); ++i) {
        Require(document.blocks[i].id == blocks[i].tzx[0], "each block of its kind");
        if (blocks[i].data) CheckDataBlock(blocks[i], document.blocks[i]);
    }
    return tstates;
}

void DecodeSamples(std::uint8_t settings, std::span<const std::uint8_t> bytes) {
    const double rate = kRates[settings & 7];
    const std::vector<float> samples = Samples(bytes, (settings & 8) != 0);
    const std::size_t chunk = kChunks[(settings >> 4) & 3];

    std::vector<brisalto::RecoveredBlock> blocks;
    brisalto::RecordingDecoder decoder(
        rate, [&blocks](brisalto::RecoveredBlock block) { blocks.push_back(std::move(block)); });
    for (std::size_t at = 0; at < samples.size(); at += chunk) {
        decoder.AddSamples(std::span(samples).subspan(at, std::min(chunk, samples.size() - at)));
    }
    const auto tzx = std::make_shared<const std::vector<std::uint8_t>>(decoder.Finish());

    // Each sample ends at most one pulse, and a pulse takes a few bytes at most.
    Require(tzx->size() <= 64 + 4 * samples.size(), "the tape grows no faster than the sound");
    const double duration = static_cast<double>(samples.size()) / rate;
    const double tstates = CheckTape(blocks, tzx, decoder.DataBlocks(), duration);
    // A block at the ROM's timings is written at them, up to 12% off the recording's (and a
    // pilot longer than the ROM's at its length: the inputs are too short to hold one).
    Require(tstates >= (0.85 * duration - 0.01) * brisalto::kTStatesPerSecond,
            "the tape sounds for as long as the recording");
}

void DecodeFile(std::span<const std::uint8_t> bytes) {
    std::vector<brisalto::RecoveredBlock> blocks;
    double fraction = 0;
    try {
        const brisalto::DecodedRecording decoded = brisalto::DecodeRecordingBytes(
            bytes,
            [&blocks](brisalto::RecoveredBlock block) { blocks.push_back(std::move(block)); },
            [&fraction](double now) {
                Require(now >= fraction && now <= 1, "progress goes forward, up to the whole");
                fraction = now;
                return true;
            });
        const auto tzx = std::make_shared<const std::vector<std::uint8_t>>(decoded.tzx);
        const auto dataBlocks = static_cast<std::uint32_t>(
            std::count_if(blocks.begin(), blocks.end(), [](const auto& b) { return b.data; }));
        CheckTape(blocks, tzx, dataBlocks, std::numeric_limits<double>::infinity());
        Require(fraction == 1, "a recording read is read to its end");
    } catch (const brisalto::RecordingError&) {
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::span<const std::uint8_t> rest(data + 1, size - 1);
    if (data[0] & 0x80) {
        DecodeFile(rest);
    } else {
        DecodeSamples(data[0], rest);
    }
    return 0;
}
