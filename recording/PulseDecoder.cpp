// SPDX-License-Identifier: GPL-3.0-or-later
#include "PulseDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>

namespace brisalto {
namespace {

// The ROM's timings, in T-states: a pilot pulse, the two sync pulses, and a bit's two pulses.
constexpr double kRomPilot = 2168;
constexpr double kRomSyncs = 667 + 735;
constexpr double kRomZeroPair = 2 * 855;
constexpr double kRomOnePair = 2 * 1710;

// A pilot's pulses lie within these lengths: a ROM tape running 10% fast or slow, and the turbo
// loaders' shorter and longer tones.
constexpr double kShortestPilot = 400;
constexpr double kLongestPilot = 5000;
// How far a pilot's pulse may be from the tone's running length (noise moves edges).
constexpr double kPilotTolerance = 0.25;
// A pilot long enough to be followed by a block's sync: the ROM's loader wants 256 edges.
constexpr std::uint32_t kPilotPulses = 200;
// A tone shorter than this is kept as its pulses, a longer one as a tone.
constexpr std::uint32_t kTonePulses = 64;
// The pairs from which a block's bit timings are measured before its bits are read.
constexpr std::size_t kLearningPairs = 64;
// The longest pulse a TZX pulse block holds; a longer one is a pause.
constexpr double kLongestPulse = 65535;
// Stray edges just after a block (a pause's edge, a recorder's click) count as its pause.
constexpr int kStraysInPause = 2;
// Pulses kept as sound in all; past this, sound that makes no block is kept as pauses only.
constexpr std::uint64_t kMostKeptPulses = 4'000'000;
// A block's end closer than this to the next edge is a break, unless the block checks.
constexpr double kShortestPause = 0.02 * kTStatesPerSecond;
// The most data bytes of one block: a TZX turbo block's 3-byte length.
constexpr std::size_t kMostBlockBytes = 0xFFFFFF;

void PutWord(std::vector<std::uint8_t>& out, double value) {
    const auto word = static_cast<std::uint16_t>(std::clamp(std::lround(value), 0L, 65535L));
    out.push_back(static_cast<std::uint8_t>(word & 0xFF));
    out.push_back(static_cast<std::uint8_t>(word >> 8));
}

bool Near(double value, double wanted, double tolerance) {
    return std::abs(value - wanted) <= tolerance * wanted;
}

std::string TimeText(double seconds) {
    const auto minutes = static_cast<int>(seconds / 60);
    char text[32];
    std::snprintf(text, sizeof text, "%d:%06.3f", minutes, seconds - 60.0 * minutes);
    return text;
}

}  // namespace

PulseDecoder::PulseDecoder(BlockObserver observer, double holdPauseSeconds)
    : observer_(std::move(observer)), holdPause_(holdPauseSeconds * kTStatesPerSecond) {}

void PulseDecoder::AddPulse(double tstates, bool edge) {
    if (!(tstates > 0)) return;  // also NaN
    now_ += tstates;
    switch (state_) {
    case State::Search: Search(tstates, edge); break;
    case State::Sync: Sync(tstates, edge); break;
    case State::Data: Data(tstates, edge); break;
    }
}

// --- Looking for a pilot tone ---------------------------------------------------------------

void PulseDecoder::Search(double pulse, bool edge) {
    const bool inTone = edge && runCount_ > 0 && Near(pulse, runAverage_, kPilotTolerance);
    if (inTone) {
        if (run_.size() < kTonePulses) run_.push_back(pulse);
        ++runCount_;
        runSum_ += pulse;
        runAverage_ += (pulse - runAverage_) / 16;
        return;
    }
    if (edge && runCount_ >= kPilotPulses && pulse < 0.75 * runAverage_) {
        state_ = State::Sync;
        syncs_.assign(1, pulse);
        return;
    }
    // A pilot that lost an edge to a dropout goes on.
    if (edge && runCount_ >= kTonePulses && Near(pulse, 2 * runAverage_, kPilotTolerance / 2)) {
        runCount_ += 2;
        runSum_ += pulse;
        return;
    }
    DropRun();
    if (edge && pulse >= kShortestPilot && pulse <= kLongestPilot) {
        StartRun(pulse);
    } else if (edge) {
        KeepPulse(pulse, now_ - pulse);
    } else {
        KeepSilence(pulse, now_ - pulse);
    }
}

void PulseDecoder::StartRun(double pulse) {
    run_.assign(1, pulse);
    runCount_ = 1;
    runSum_ = pulse;
    runAverage_ = pulse;
    runStart_ = now_ - pulse;
}

// A tone that led to no block: kept as a tone when long, else as its pulses.
void PulseDecoder::DropRun() {
    if (runCount_ == 0) return;
    if (runCount_ >= kTonePulses) {
        EmitTone(runSum_ / runCount_, runCount_, runStart_);
    } else {
        double start = runStart_;
        for (const double pulse : run_) {
            KeepPulse(pulse, start);
            start += pulse;
        }
    }
    run_.clear();
    runCount_ = 0;
}

// The second sync pulse; a spike that split a pilot pulse in two is no sync.
void PulseDecoder::Sync(double pulse, bool edge) {
    const double first = syncs_.front();
    const double both = first + pulse;
    if (edge && Near(both, runAverage_, kPilotTolerance)) {
        state_ = State::Search;
        ++runCount_;
        runSum_ += both;
        return;
    }
    if (edge && both < 0.9 * runAverage_ && pulse < runAverage_) {
        syncs_.push_back(pulse);
        FlushKept();
        pilot_ = runSum_ / runCount_;
        pilotCount_ = runCount_;
        pilotStart_ = runStart_;
        run_.clear();
        runCount_ = 0;
        state_ = State::Data;
        window_.clear();
        unread_.clear();
        learning_.clear();
        learned_ = false;
        zeroSum_ = oneSum_ = 0;
        zeroCount_ = oneCount_ = 0;
        half_ = 0;
        bytes_.clear();
        byte_ = 0;
        bits_ = 0;
        return;
    }
    state_ = State::Search;
    DropRun();
    KeepPulse(first, now_ - pulse - first);
    Search(pulse, edge);
}

// --- Reading a block's bits -------------------------------------------------------------------

void PulseDecoder::Data(double pulse, bool edge) {
    const double longestHalf = learned_ ? std::max(0.75 * one_, 1.2 * pilot_) : 1.4 * pilot_;
    if (!edge || pulse > longestHalf) {
        // The block's end: the pulses still in the window are its last halves, before this one
        // (a break among them is looked at again from where they began).
        now_ -= pulse;
        while (!window_.empty() && state_ == State::Data) {
            const double half = window_.front();
            window_.pop_front();
            TakeHalf(half);
        }
        if (state_ == State::Data && !learned_) LearnTimings();
        now_ += pulse;
        if (state_ == State::Data) {
            EndData(pulse, false);
        } else {
            // The block broke on its last pulses; this one is the pause after them.
            Search(pulse, edge);
        }
        return;
    }
    window_.push_back(pulse);
    while (window_.size() >= 3 && state_ == State::Data) {
        // A spike of noise adds two edges inside a pulse: the three pulses are one.
        const double spike = learned_ ? 0.15 * zero_ : 0.12 * pilot_;
        if (window_[1] < spike) {
            const double whole = window_[0] + window_[1] + window_[2];
            window_.erase(window_.begin(), window_.begin() + 3);
            window_.push_front(whole);
            continue;
        }
        const double half = window_.front();
        window_.pop_front();
        TakeHalf(half);
    }
}

void PulseDecoder::TakeHalf(double half) {
    unread_.push_back(half);
    if (half_ == 0) {
        half_ = half;
        return;
    }
    const double pair = half_ + half;
    half_ = 0;
    if (!learned_) {
        learning_.push_back(pair);
        if (learning_.size() < kLearningPairs) return;
        LearnTimings();
        return;
    }
    if (!TakeBit(pair)) EndData(0, true);
}

// The bit timings from the first pairs: two clusters, started at their shortest and longest
// pairs. Pairs all alike are the ROM's 0 or 1 bit scaled to the pilot, whichever they are
// nearer, and the other bit at the ROM's ratio.
void PulseDecoder::LearnTimings() {
    const double scale = pilot_ / kRomPilot;
    double zero = kRomZeroPair * scale, one = kRomOnePair * scale;
    if (!learning_.empty()) {
        std::vector<double> sorted = learning_;
        std::sort(sorted.begin(), sorted.end());
        const double shortest = sorted[sorted.size() / 20];
        const double longest = sorted[sorted.size() - 1 - sorted.size() / 20];
        if (longest >= 1.35 * shortest) {
            zero = shortest;
            one = longest;
            for (int round = 0; round < 8; ++round) {
                const double middle = (zero + one) / 2;
                double zeros = 0, ones = 0;
                int zeroCount = 0, oneCount = 0;
                for (const double pair : sorted) {
                    if (pair < middle) {
                        zeros += pair;
                        ++zeroCount;
                    } else {
                        ones += pair;
                        ++oneCount;
                    }
                }
                if (zeroCount > 0) zero = zeros / zeroCount;
                if (oneCount > 0) one = ones / oneCount;
            }
        } else {
            const double alike = sorted[sorted.size() / 2];
            if (alike * alike < zero * one) {
                zero = alike;
                one = 2 * alike;
            } else {
                one = alike;
                zero = alike / 2;
            }
        }
    }
    zero_ = zero;
    one_ = one;
    learned_ = true;
    std::vector<double> pairs;
    pairs.swap(learning_);
    for (const double pair : pairs) {
        if (!TakeBit(pair)) {
            EndData(0, true);
            return;
        }
    }
}

// One bit from a pair of pulses, the timings following the tape's speed as it drifts; false
// for a pair no bit can be.
bool PulseDecoder::TakeBit(double pair) {
    if (pair < 0.5 * zero_ || pair > 1.5 * one_) return false;
    const bool bit = pair >= (zero_ + one_) / 2;
    if (bit) {
        one_ += (pair - one_) / 16;
        oneSum_ += pair;
        ++oneCount_;
    } else {
        zero_ += (pair - zero_) / 16;
        zeroSum_ += pair;
        ++zeroCount_;
    }
    byte_ = static_cast<std::uint8_t>(byte_ << 1 | (bit ? 1 : 0));
    if (++bits_ == 8) {
        // The byte's sixteen halves are data now, no longer sound to keep.
        unread_.erase(unread_.begin(), unread_.begin() + std::min<std::ptrdiff_t>(
                                                             16, std::ssize(unread_)));
        bytes_.push_back(byte_);
        bits_ = 0;
        byte_ = 0;
        if (bytes_.size() >= kMostBlockBytes) return false;
    }
    return true;
}

// The block ends: at a pause of pausePulse T-states, or broken at the current pulse. Its bytes
// are held while the pause after it is measured.
void PulseDecoder::EndData(double pausePulse, bool broke) {
    state_ = State::Search;
    // What was taken but not read as whole bytes (a byte cut short, the pair that broke the
    // block, the pairs after it while the timings were learned) is sound, before the window's.
    std::vector<double> rest(unread_.begin(), unread_.end());
    rest.insert(rest.end(), window_.begin(), window_.end());
    unread_.clear();
    window_.clear();
    if (bytes_.empty()) {
        // A pilot and syncs with no byte after them: sound, kept as it was.
        EmitTone(pilot_, pilotCount_, pilotStart_);
        double start = pilotStart_ + pilot_ * pilotCount_;
        for (const double sync : syncs_) {
            KeepPulse(sync, start);
            start += sync;
        }
    } else {
        PendingBlock block;
        block.start = pilotStart_;
        block.end = now_ - pausePulse;
        block.bytes = std::move(bytes_);
        std::uint8_t check = 0;
        for (const std::uint8_t byte : block.bytes) check ^= byte;
        block.checksumGood = check == 0;
        // A block that ends short of a pause and does not check ends where it broke (a dropout,
        // a crease), not where it was saved to end.
        if (!block.checksumGood && pausePulse < kShortestPause) broke = true;
        if (broke) {
            block.broke = BlockBreak{static_cast<std::uint32_t>(block.bytes.size()),
                                     (now_ - pausePulse) / kTStatesPerSecond};
        }
        const double scale = pilot_ / kRomPilot;
        const double zero = zeroCount_ ? zeroSum_ / zeroCount_ : zero_;
        const double one = oneCount_ ? oneSum_ / oneCount_ : one_;
        const double syncs = syncs_[0] + syncs_[1];
        block.rom = Near(scale, 1.0, 0.12) && Near(syncs, kRomSyncs * scale, 0.3) &&
                    Near(zero, kRomZeroPair * scale, 0.2) && Near(one, kRomOnePair * scale, 0.2) &&
                    block.bytes.size() <= 0xFFFF;
        block.pilot = pilot_;
        block.pilotCount = pilotCount_;
        block.sync1 = syncs_[0];
        block.sync2 = syncs_[1];
        block.zero = zero / 2;
        block.one = one / 2;
        // The pause is measured from the pulse that ended the block, after what is looked at
        // again below.
        block.pause = 0;
        pending_ = std::move(block);
        // After a break, the pulses that follow are the block's rest, kept as sound.
        strays_ = broke ? kStraysInPause : 0;
    }
    bytes_.clear();
    // What followed a break, or the halves of a byte cut short, are looked at again for the
    // next pilot, from where they began; then the pulse that ended the block, as silence.
    now_ -= pausePulse;
    for (const double pulse : rest) now_ -= pulse;
    for (const double pulse : rest) {
        now_ += pulse;
        Search(pulse, true);
    }
    now_ += pausePulse;
    if (pausePulse > 0) Search(pausePulse, false);
}

// --- Sound that makes no block ----------------------------------------------------------------

void PulseDecoder::KeepPulse(double pulse, double start) {
    if (pulse > kLongestPulse) {
        KeepSilence(pulse, start);
        return;
    }
    if (pending_ && strays_ < kStraysInPause) {
        ++strays_;
        pending_->pause += pulse;
        return;
    }
    EmitPending();
    if (keptTotal_ >= kMostKeptPulses) {
        AddSilence(pulse, start);
        return;
    }
    if (silence_ > 0) EmitSilence();
    if (kept_.empty()) keptStart_ = start;
    kept_.push_back(pulse);
    ++keptTotal_;
    if (kept_.size() == 255) EmitKept();
}

void PulseDecoder::KeepSilence(double tstates, double start) {
    if (pending_) {
        pending_->pause += tstates;
        if (pending_->pause >= holdPause_) EmitPending();
        return;
    }
    EmitKept();
    AddSilence(tstates, start);
}

// Silence held is always one stretch: whatever sound came before it was passed on first.
void PulseDecoder::AddSilence(double tstates, double start) {
    if (silence_ == 0) silenceStart_ = start;
    silence_ += tstates;
}

// Everything held is passed on, before what comes next.
void PulseDecoder::FlushKept() {
    EmitPending();
    EmitKept();
    EmitSilence();
}

void PulseDecoder::EmitPending() {
    if (!pending_) return;
    PendingBlock block = std::move(*pending_);
    pending_.reset();
    // A pause longer than a block's own field holds goes on in pause blocks.
    const double most = 65535.0 * kTStatesPerSecond / 1000;
    const double pause = std::min(block.pause, most);
    if (block.pause > pause) AddSilence(block.pause - pause, block.end + pause);
    const double pauseMs = pause * 1000 / kTStatesPerSecond;

    if (block.broke || !block.checksumGood) {
        const std::string note =
            block.broke ? "Damaged: the block broke at byte " + std::to_string(block.broke->byte) +
                              ", at " + TimeText(block.broke->seconds) + " in the recording"
                        : "Damaged: the block's checksum does not match";
        RecoveredBlock text;
        text.seconds = block.start / kTStatesPerSecond;
        text.tzx = {0x30, static_cast<std::uint8_t>(note.size())};
        text.tzx.insert(text.tzx.end(), note.begin(), note.end());
        Emit(std::move(text));
    }
    RecoveredBlock out;
    out.seconds = block.start / kTStatesPerSecond;
    out.data = true;
    out.dataLength = static_cast<std::uint32_t>(block.bytes.size());
    out.checksumGood = block.checksumGood;
    out.broke = block.broke;
    const auto length = static_cast<std::uint32_t>(block.bytes.size());
    if (block.rom) {
        out.tzx = {0x10};
        PutWord(out.tzx, pauseMs);
        PutWord(out.tzx, length);
    } else {
        out.tzx = {0x11};
        PutWord(out.tzx, block.pilot);
        PutWord(out.tzx, block.sync1);
        PutWord(out.tzx, block.sync2);
        PutWord(out.tzx, block.zero);
        PutWord(out.tzx, block.one);
        PutWord(out.tzx, std::min<std::uint32_t>(block.pilotCount, 65535));
        out.tzx.push_back(8);
        PutWord(out.tzx, pauseMs);
        out.tzx.push_back(static_cast<std::uint8_t>(length & 0xFF));
        out.tzx.push_back(static_cast<std::uint8_t>(length >> 8 & 0xFF));
        out.tzx.push_back(static_cast<std::uint8_t>(length >> 16 & 0xFF));
    }
    out.tzx.insert(out.tzx.end(), block.bytes.begin(), block.bytes.end());
    Emit(std::move(out));
}

// Kept pulses go out as a pulse block; a stray one or two (the first edges of a tone that is
// starting, a click) are too few to be sound of their own and count as the pause they are in.
void PulseDecoder::EmitKept() {
    if (kept_.empty()) return;
    if (kept_.size() < 4) {
        double at = keptStart_;
        for (const double pulse : kept_) {
            AddSilence(pulse, at);
            at += pulse;
        }
        kept_.clear();
        return;
    }
    RecoveredBlock out;
    out.seconds = keptStart_ / kTStatesPerSecond;
    out.tzx = {0x13, static_cast<std::uint8_t>(kept_.size())};
    for (const double pulse : kept_) PutWord(out.tzx, std::max(1.0, pulse));
    kept_.clear();
    Emit(std::move(out));
}

void PulseDecoder::EmitSilence() {
    double milliseconds = silence_ * 1000 / kTStatesPerSecond;
    double start = silenceStart_;
    silence_ = 0;
    // A pause of 0 would stop the tape; less than a millisecond is left out.
    while (milliseconds >= 1) {
        const double part = std::min(milliseconds, 65535.0);
        RecoveredBlock out;
        out.seconds = start / kTStatesPerSecond;
        out.tzx = {0x20};
        PutWord(out.tzx, part);
        Emit(std::move(out));
        milliseconds -= part;
        start += part * kTStatesPerSecond / 1000;
    }
}

void PulseDecoder::EmitTone(double length, std::uint32_t count, double start) {
    EmitPending();
    EmitKept();
    EmitSilence();
    while (count > 0) {
        const std::uint32_t part = std::min<std::uint32_t>(count, 65535);
        RecoveredBlock out;
        out.seconds = start / kTStatesPerSecond;
        out.tzx = {0x12};
        PutWord(out.tzx, length);
        PutWord(out.tzx, part);
        Emit(std::move(out));
        count -= part;
    }
}

void PulseDecoder::Emit(RecoveredBlock block) {
    if (observer_) observer_(std::move(block));
}

void PulseDecoder::Finish() {
    switch (state_) {
    case State::Search: DropRun(); break;
    case State::Sync:
        state_ = State::Search;
        DropRun();
        KeepPulse(syncs_.front(), now_ - syncs_.front());
        break;
    case State::Data: Data(1, false); break;
    }
    DropRun();
    FlushKept();
}

}  // namespace brisalto
