// SPDX-License-Identifier: GPL-3.0-or-later
// Reads any bytes as a recording's samples. Input: one byte of settings (bits 0-2 the sample
// rate, bit 3 16-bit little-endian samples rather than 8-bit unsigned ones, bits 4-5 how many
// samples are given at a time), then the samples. Any outcome is normal but these findings: a
// crash, a sanitizer report, a hang, a tape that the tape reader does not read whole, that
// differs from the blocks handed out as they came, or that sounds for much less time than the
// samples do (sound lost).
#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <span>
#include <vector>

#include "FuzzCheck.h"
#include "RecordingDecoder.h"
#include "RecordingTapeCheck.h"
#include "RecoveredBlock.h"

namespace {

using brisalto::fuzzing::CheckTape;
using brisalto::fuzzing::Require;

constexpr std::array<double, 8> kRates = {11'025, 16'000, 22'050, 32'000,
                                          44'100, 48'000, 96'000, 192'000};
constexpr std::array<std::size_t, 4> kChunks = {4096, 1, 7, 1000};

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::uint8_t settings = data[0];
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);

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
    return 0;
}
