// SPDX-License-Identifier: GPL-3.0-or-later
#include "PzxDataBlocks.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <utility>

#include "ExactTzxBlocks.h"
#include "PulseDecoder.h"

namespace brisalto {

namespace {

constexpr double kTStatesPerMs = kTStatesPerSecond / 1000;
// The ROM's timings, in T-states, and its pilot's pulses before a header and before data.
constexpr std::uint64_t kRomPilot = 2168, kRomSync1 = 667, kRomSync2 = 735;
constexpr std::uint16_t kRomZero = 855, kRomOne = 1710;
constexpr std::uint64_t kRomHeaderPilots = 8063, kRomDataPilots = 3223;
// A run of this many equal pulses or more is a tone (0x12); fewer are pulses (0x13).
constexpr std::uint64_t kToneRun = 8;

bool TwoEqualPulses(const std::vector<std::uint16_t>& symbol) {
    return symbol.size() == 2 && symbol[0] == symbol[1] && symbol[0] > 0;
}

bool Fits16(std::uint64_t value) {
    return value <= 0xFFFF;
}

std::uint16_t Word(std::uint64_t value) {
    return static_cast<std::uint16_t>(std::min<std::uint64_t>(value, 0xFFFF));
}

void Emit(TzxBlockBytes tzx, double start, const BlockOutput& emit) {
    RecoveredBlock block;
    block.tzx = std::move(tzx);
    block.seconds = start / kTStatesPerSecond;
    emit(std::move(block));
}

}  // namespace

// The block that holds the bits exactly with the pulses before them, and the pause after them
// in its own field when it fits there.
void DataAsBlocks(const PzxData& data, std::optional<double> pause, const BlockOutput& emit) {
    // The tail pulse and the pause, in milliseconds in the block's field, else in blocks of
    // their own after it.
    std::uint16_t pauseMs = 0;
    double after = 0;
    if (pause) {
        const double whole = data.tail + *pause;
        const double milliseconds = std::round(whole / kTStatesPerMs);
        pauseMs = Word(static_cast<std::uint64_t>(milliseconds));
        after = pauseMs > 0 ? (milliseconds - pauseMs) * kTStatesPerMs : whole;
    }
    const auto emitAfter = [&] {
        if (pause) {
            PauseAsBlocks(after, data.end - data.tail + pauseMs * kTStatesPerMs, emit);
        } else if (data.tail > 0) {
            const std::array<std::uint16_t, 1> tail{data.tail};
            Emit(PulsesBlock(tail), data.end - data.tail, emit);
        }
    };
    const std::vector<Run> runs(data.before.Runs().begin(), data.before.Runs().end());
    if (data.bits == 0) {
        RunsAsBlocks(runs, data.beforeStart, emit);
        emitAfter();
        return;
    }
    const std::uint8_t usedBits = data.bits % 8 == 0 ? 8 : static_cast<std::uint8_t>(data.bits % 8);
    const bool twoEqual = TwoEqualPulses(data.zero) && TwoEqualPulses(data.one);
    const std::optional<PilotAndSyncs> lead =
        twoEqual ? AsPilotAndSyncs(data.before) : std::nullopt;
    const bool turboLead = lead && Fits16(lead->pilot.length) && Fits16(lead->pilot.count) &&
                           Fits16(lead->sync1) && Fits16(lead->sync2) &&
                           data.bytes.size() <= kMostTurboBody;
    RecoveredBlock block;
    block.data = true;
    block.dataLength = static_cast<std::uint32_t>(data.bytes.size());
    std::uint8_t check = 0;
    for (const std::uint8_t byte : data.bytes) check ^= byte;
    block.checksumGood = !data.bytes.empty() && check == 0;
    const std::uint64_t romPilots =
        data.bytes.empty() || data.bytes[0] < 0x80 ? kRomHeaderPilots : kRomDataPilots;
    if (turboLead && lead->before.empty() && lead->pilot.length == kRomPilot &&
        lead->pilot.count == romPilots && lead->sync1 == kRomSync1 && lead->sync2 == kRomSync2 &&
        data.zero[0] == kRomZero && data.one[0] == kRomOne && usedBits == 8 &&
        data.bytes.size() <= 0xFFFF) {
        block.tzx = StandardBlock(pauseMs, data.bytes);
        block.seconds = data.beforeStart / kTStatesPerSecond;
    } else if (turboLead) {
        double start = data.beforeStart;
        RunsAsBlocks(lead->before, start, emit);
        for (const Run& run : lead->before) start += double(run.length) * double(run.count);
        const TurboTimings timings{Word(lead->pilot.length),
                                   Word(lead->sync1),
                                   Word(lead->sync2),
                                   data.zero[0],
                                   data.one[0],
                                   Word(lead->pilot.count)};
        block.tzx = TurboBlock(timings, usedBits, pauseMs, data.bytes);
        block.seconds = start / kTStatesPerSecond;
    } else {
        RunsAsBlocks(runs, data.beforeStart, emit);
        block.seconds = data.start / kTStatesPerSecond;
        if (twoEqual && data.bytes.size() <= kMostTurboBody) {
            block.tzx = PureDataBlock(data.zero[0], data.one[0], usedBits, pauseMs, data.bytes);
        } else {
            // Bits of other pulses are no TAP block's: a block of data, but not a data row's.
            block.tzx = GeneralizedDataBlock(data.zero, data.one, data.bits, pauseMs, data.bytes);
            block.data = false;
            block.dataLength = 0;
            block.checksumGood = false;
        }
    }
    emit(std::move(block));
    emitAfter();
}

// Runs of pulses as tones and pulse blocks; a pulse longer than a pulse block holds is a pause.
void RunsAsBlocks(std::span<const Run> runs, double start, const BlockOutput& emit) {
    std::vector<std::uint16_t> pulses;
    double pulsesStart = start;
    const auto flush = [&] {
        for (std::size_t from = 0; from < pulses.size(); from += 255) {
            const auto part =
                std::span(pulses).subspan(from, std::min<std::size_t>(255, pulses.size() - from));
            Emit(PulsesBlock(part), pulsesStart, emit);
            for (const std::uint16_t pulse : part) pulsesStart += pulse;
        }
        pulses.clear();
    };
    for (const Run& run : runs) {
        const double tstates = double(run.length) * double(run.count);
        if (!Fits16(run.length)) {
            flush();
            for (std::uint64_t i = 0; i < run.count; ++i)
                PauseAsBlocks(double(run.length), start + double(run.length) * double(i), emit);
        } else if (run.count >= kToneRun) {
            flush();
            double at = start;
            for (std::uint64_t left = run.count; left > 0;) {
                const std::uint64_t part = std::min<std::uint64_t>(left, 0xFFFF);
                Emit(ToneBlock(Word(run.length), Word(part)), at, emit);
                at += double(run.length) * double(part);
                left -= part;
            }
        } else {
            if (pulses.empty()) pulsesStart = start;
            pulses.insert(pulses.end(), run.count, Word(run.length));
        }
        start += tstates;
    }
    flush();
}

// A pause of whole milliseconds in pause blocks; one shorter than half a millisecond is a pulse.
void PauseAsBlocks(double tstates, double start, const BlockOutput& emit) {
    double milliseconds = std::round(tstates / kTStatesPerMs);
    if (milliseconds < 1) {
        if (tstates >= 1) {
            const std::array<std::uint16_t, 1> pulse{Word(std::uint64_t(tstates))};
            Emit(PulsesBlock(pulse), start, emit);
        }
        return;
    }
    while (milliseconds >= 1) {
        const double part = std::min(milliseconds, 65535.0);
        Emit(PauseBlock(Word(std::uint64_t(part))), start, emit);
        milliseconds -= part;
        start += part * kTStatesPerMs;
    }
}

}  // namespace brisalto
