// SPDX-License-Identifier: GPL-3.0-or-later
// Reads any bytes as a recording file (WAV and what libsndfile reads, CSW, PZX). A refusal
// (RecordingError) is a normal outcome; these are findings: a crash, a sanitizer report, a hang,
// a tape that the tape reader does not read whole or that differs from the blocks handed out as
// they came, or progress that goes back.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <memory>
#include <span>
#include <vector>

#include "DecodeRecording.h"
#include "FuzzCheck.h"
#include "RecordingErrors.h"
#include "RecordingTapeCheck.h"
#include "RecoveredBlock.h"

namespace {

using brisalto::fuzzing::CheckTape;
using brisalto::fuzzing::Require;

// Progress is told at each read and every million pulses: a few times is all a small input
// needs, unless it repeats pulses towards the bounds of 4 hours and 100 million, which are
// another test's. Past that the decoding is cancelled, to keep each input quick.
constexpr int kMostProgress = 6;

void DecodeFile(std::span<const std::uint8_t> bytes) {
    std::vector<brisalto::RecoveredBlock> blocks;
    double fraction = 0;
    int told = 0;
    try {
        const brisalto::DecodedRecording decoded = brisalto::DecodeRecordingBytes(
            bytes,
            [&blocks](brisalto::RecoveredBlock block) { blocks.push_back(std::move(block)); },
            [&fraction, &told](double now) {
                Require(now >= fraction && now <= 1, "progress goes forward, up to the whole");
                fraction = now;
                return ++told <= kMostProgress;
            });
        const auto tzx = std::make_shared<const std::vector<std::uint8_t>>(decoded.tzx);
        const auto dataBlocks = static_cast<std::uint32_t>(
            std::count_if(blocks.begin(), blocks.end(), [](const auto& b) { return b.data; }));
        CheckTape(blocks, tzx, dataBlocks, std::numeric_limits<double>::infinity());
        Require(fraction == 1, "a recording read is read to its end");
    } catch (const brisalto::RecordingError&) {
    } catch (const brisalto::RecordingCancelled&) {
        Require(told > kMostProgress, "cancelled only when asked");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    DecodeFile(std::span(data, size));
    return 0;
}
