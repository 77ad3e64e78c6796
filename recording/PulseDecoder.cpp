// SPDX-License-Identifier: GPL-3.0-or-later
#include "PulseDecoder.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <iterator>
#include <string>
#include <utility>

#include "DamageNote.h"
#include "TzxBlockCodec.h"

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
// How far a pulse may be from a bit's half and still be taken for it.
constexpr double kHalfTolerance = 0.15;
// A run of this many alike pulses, none of them a bit's half, ends a block: the next block's
// pilot (or a tone) that follows with no pause. Far fewer than a pilot has, so that the search
// still finds the pilot in what is given back.
constexpr std::uint32_t kToneHalves = 24;
// How far a tone's pulses may be from the run's own length.
constexpr double kToneTolerance = 0.15;
// The first halves of a run that may be a pilot, held to tell the block's last 1 bits from it.
constexpr std::size_t kAlikeHeld = 48;
// The latest bytes stay open, to be given back to a tone that began in them; more than a run
// of kToneHalves and the look past a stated end cover.
constexpr std::size_t kOpenBytes = 4;
// Halves read past where the tape says a block ends before judging whether its data goes on.
constexpr std::uint64_t kLookPastHalves = 32;
// A standard header: flag, type, 10-character name, length, two parameters, checksum.
constexpr std::size_t kHeaderBytes = 19;

// A length or a count as a TZX block's 2-byte field holds it.
std::uint16_t Word(double value) {
    return static_cast<std::uint16_t>(std::clamp(std::lround(value), 0L, 65535L));
}

// The whole block of these fields, its ID first.
std::vector<std::uint8_t> Written(const tzx::TzxBlockFields& fields) {
    return tzx::BytesOf(fields).value_or(std::vector<std::uint8_t>{});
}

bool Near(double value, double wanted, double tolerance) {
    return std::abs(value - wanted) <= tolerance * wanted;
}

bool Checks(const std::vector<std::uint8_t>& bytes) {
    std::uint8_t check = 0;
    for (const std::uint8_t byte : bytes) check ^= byte;
    return check == 0;
}

struct BitPairs {
    double zero, one;
};

// The bit timings from a block's first pairs: two clusters, started at their shortest and
// longest pairs. Pairs all alike are the ROM's 0 or 1 bit scaled to the pilot, whichever they
// are nearer, and the other bit at the ROM's ratio.
BitPairs MeasureBitPairs(const std::vector<double>& pairs, double pilot) {
    const double scale = pilot / kRomPilot;
    double zero = kRomZeroPair * scale, one = kRomOnePair * scale;
    if (pairs.empty()) return {zero, one};
    std::vector<double> sorted = pairs;
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
    return {zero, one};
}

}  // namespace

PulseDecoder::PulseDecoder(BlockObserver observer, double holdPauseSeconds)
    : observer_(std::move(observer)), holdPause_(holdPauseSeconds * kTStatesPerSecond) {}

void PulseDecoder::AddPulse(double tstates, bool edge) {
    if (!(tstates > 0)) return;  // also NaN
    now_ += tstates;
    Route(tstates, edge);
}

void PulseDecoder::Route(double pulse, bool edge) {
    switch (state_) {
        case State::Search: Search(pulse, edge); break;
        case State::Sync: Sync(pulse, edge); break;
        case State::Data: Data(pulse, edge); break;
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
        committed_ = 0;
        halvesTaken_ = 0;
        toneCount_ = 0;
        toneRejected_ = false;
        statedEnd_ = nextStatedEnd_;
        nextStatedEnd_ = 0;
        alikeCount_ = 0;
        syncFirst_ = 0;
        sumsAtAlike_.reset();
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
        if (state_ == State::Data && statedEnd_ > 0 && WholeBytes() >= statedEnd_) {
            now_ += pulse;
            EndAfter(statedEnd_, pulse, edge);
            return;
        }
        if (state_ == State::Data && !learned_) LearnTimings();
        now_ += pulse;
        if (state_ == State::Data) {
            EndData(pulse, false, edge);
        } else {
            // The block ended on its last pulses; this one is the pause after them.
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
    ++halvesTaken_;
    if (FollowTone(half) || FollowPilot(half)) return;
    if (half_ == 0) {
        half_ = half;
    } else {
        const double pair = half_ + half;
        half_ = 0;
        if (!learned_) {
            learning_.push_back(pair);
            if (learning_.size() >= kLearningPairs) LearnTimings();
        } else if (!TakeBit(pair)) {
            EndOnBadPair();
        }
        if (state_ != State::Data) return;
    }
    LookPastStatedEnd();
}

bool PulseDecoder::PlainlyNoBitHalf(double half, double zeroPair, double onePair) const {
    return !Near(half, zeroPair / 2, kHalfTolerance) && !Near(half, onePair / 2, kHalfTolerance);
}

// Counts the run of alike halves that are no bit's; once it is long enough, the block ends at
// its last whole byte before the run, and the run goes back to the pilot search. True when the
// block ended so.
bool PulseDecoder::FollowTone(double half) {
    // Before the timings are learned, the bits are judged at the ROM's ratio to the pilot.
    const double scale = pilot_ / kRomPilot;
    const double zero = learned_ ? zero_ : kRomZeroPair * scale;
    const double one = learned_ ? one_ : kRomOnePair * scale;
    if (!PlainlyNoBitHalf(half, zero, one)) {
        toneCount_ = 0;
        toneRejected_ = false;
        return false;
    }
    if (toneCount_ == 0 || !Near(half, toneAverage_, kToneTolerance)) {
        toneCount_ = 0;
        toneAverage_ = 0;
        toneRejected_ = false;
        toneStart_ = halvesTaken_ - 1;
    }
    ++toneCount_;
    toneAverage_ += (half - toneAverage_) / toneCount_;
    if (toneCount_ < kToneHalves || toneRejected_) return false;
    std::size_t before = static_cast<std::size_t>(toneStart_ / 16);
    if (!learned_) {
        // The run is this block's own bits after all when the pairs before it say so.
        const auto pairs = std::min<std::size_t>(learning_.size(), toneStart_ / 2);
        const std::vector<double> earlier(learning_.begin(),
                                          learning_.begin() + static_cast<std::ptrdiff_t>(pairs));
        const BitPairs measured = MeasureBitPairs(earlier, pilot_);
        if (!PlainlyNoBitHalf(toneAverage_, measured.zero, measured.one)) before = 0;
    }
    // A run from the block's first half is no end: there is no byte before it.
    if (before == 0 || before < committed_) {
        toneRejected_ = true;
        return false;
    }
    if (statedEnd_ > 0) before = std::min(before, statedEnd_);
    EndAfter(before, 0);
    return true;
}

// Counts halves as the search counts a pilot; a run of a pilot's length followed by two
// pulses that together are shorter than three quarters of one of it is a pilot and its sync,
// which data cannot be (a 0 bit's two halves after 1 bits are as long as one of theirs). True
// when the block ended so.
bool PulseDecoder::FollowPilot(double half) {
    if (syncFirst_ > 0) {
        const double first = syncFirst_;
        syncFirst_ = 0;
        if (first + half < 0.75 * alikeAverage_ && half < alikeAverage_) {
            SplitAtPilot(first, half);
            return true;
        }
        alikeCount_ = 0;
    }
    if (alikeCount_ > 0 && Near(half, alikeAverage_, kPilotTolerance)) {
        ++alikeCount_;
        alikeSum_ += half;
        alikeAverage_ += (half - alikeAverage_) / 16;
        if (alikeHeld_.size() < kAlikeHeld) alikeHeld_.push_back(half);
        return false;
    }
    if (alikeCount_ >= kPilotPulses && half < 0.75 * alikeAverage_) {
        syncFirst_ = half;
        return false;
    }
    alikeCount_ = 0;
    if (half < kShortestPilot || half > kLongestPilot) return false;
    alikeCount_ = 1;
    alikeSum_ = half;
    alikeAverage_ = half;
    alikeStart_ = halvesTaken_ - 1;
    alikeHeld_.assign(1, half);
    alikeOneHalf_ = (learned_ ? one_ : kRomOnePair * pilot_ / kRomPilot) / 2;
    double later = 0;
    for (const double pulse : window_) later += pulse;
    alikeStartTime_ = now_ - later - half;
    const auto lead =
        static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(alikeStart_ % 16, unread_.size() - 1));
    alikeLead_.assign(unread_.end() - 1 - lead, unread_.end() - 1);
    sumsAtAlike_.reset();
    return false;
}

// The block ended where the run began; the run is the next block's pilot, handed to the
// search as counted, then its syncs and what came after them.
void PulseDecoder::SplitAtPilot(double sync1, double sync2) {
    // The pilot begins at the end of a byte: the one that best parts the run's first halves
    // into the block's 1 bits before it and the pilot's after it.
    const std::uint64_t firstByte = alikeStart_ / 16;
    const std::uint64_t lastByte = (alikeStart_ + alikeHeld_.size()) / 16;
    std::uint64_t pilotByte = firstByte;
    std::size_t fewestWrong = alikeHeld_.size() + 1;
    for (std::uint64_t byte = firstByte; byte <= lastByte; ++byte) {
        std::size_t wrong = 0;
        for (std::size_t i = 0; i < alikeHeld_.size(); ++i) {
            const double half = alikeHeld_[i];
            const bool pilotLike = std::abs(half - alikeAverage_) < std::abs(half - alikeOneHalf_);
            if (pilotLike != (alikeStart_ + i >= 16 * byte)) ++wrong;
        }
        if (wrong < fewestWrong) {
            fewestWrong = wrong;
            pilotByte = byte;
        }
    }
    const auto before = static_cast<std::size_t>(pilotByte);
    // A run is longer than the bytes held open, so its first byte is held for good: the bytes
    // before it are all there is to keep.
    if (before > bytes_.size()) {
        alikeCount_ = 0;
        return;
    }
    const std::vector<double> after(window_.begin(), window_.end());
    window_.clear();
    if (sumsAtAlike_) {
        zeroSum_ = sumsAtAlike_->zero;
        oneSum_ = sumsAtAlike_->one;
        zeroCount_ = sumsAtAlike_->zeros;
        oneCount_ = sumsAtAlike_->ones;
    }
    const double end = now_;
    double syncEnd = now_;
    for (const double pulse : after) syncEnd -= pulse;
    bytes_.resize(before);
    committed_ = before;
    unread_.assign(alikeLead_.begin(), alikeLead_.end());
    bits_ = 0;
    byte_ = 0;
    half_ = 0;
    std::uint32_t count = alikeCount_;
    double sum = alikeSum_, start = alikeStartTime_;
    const double average = alikeAverage_;
    if (16 * std::uint64_t{before} > alikeStart_) {
        // The run's first halves were the block's last bits.
        unread_.clear();
        const auto bits =
            std::min<std::uint64_t>(16 * std::uint64_t{before} - alikeStart_, alikeHeld_.size());
        for (std::size_t i = 0; i < bits; ++i) {
            sum -= alikeHeld_[i];
            start += alikeHeld_[i];
            --count;
        }
    }
    now_ = start;
    EndData(0, false);
    DropRun();
    run_.clear();
    runCount_ = count;
    runSum_ = sum;
    runAverage_ = average;
    runStart_ = start;
    now_ = syncEnd - sync2;
    Search(sync1, true);
    now_ = syncEnd;
    if (state_ == State::Sync) Sync(sync2, true);
    for (const double pulse : after) {
        now_ += pulse;
        Route(pulse, true);
    }
    now_ = end;
}

// Past where the tape says the block ends, the block goes on only while its pulses plainly go
// on as data: a byte's worth of bits of both kinds. Alike pulses there are a tone (a pilot of a
// length that bits could also have), and the block ends where the tape said.
void PulseDecoder::LookPastStatedEnd() {
    if (statedEnd_ == 0) return;
    const std::uint64_t end = 16 * std::uint64_t{statedEnd_};
    if (halvesTaken_ < end + kLookPastHalves) return;
    const std::uint64_t held = 16 * std::uint64_t{committed_};
    if (held > end || unread_.size() < end - held) {
        statedEnd_ = 0;
        return;
    }
    const auto from = unread_.begin() + static_cast<std::ptrdiff_t>(end - held);
    const auto [shortest, longest] = std::minmax_element(from, unread_.end());
    if (*longest <= (1 + 2 * kToneTolerance) * *shortest) {
        EndAfter(statedEnd_, 0);
    } else {
        statedEnd_ = 0;
    }
}

void PulseDecoder::LearnTimings() {
    const BitPairs measured = MeasureBitPairs(learning_, pilot_);
    zero_ = measured.zero;
    one_ = measured.one;
    learned_ = true;
    std::vector<double> pairs;
    pairs.swap(learning_);
    for (const double pair : pairs) {
        if (!TakeBit(pair)) {
            EndOnBadPair();
            return;
        }
    }
}

// One bit from a pair of pulses, the timings following the tape's speed as it drifts (but not
// through a run that may be a tone); false for a pair no bit can be.
bool PulseDecoder::TakeBit(double pair) {
    if (pair < 0.5 * zero_ || pair > 1.5 * one_) return false;
    const bool bit = pair >= (zero_ + one_) / 2;
    if (toneCount_ == 0) {
        if (bit) {
            one_ += (pair - one_) / 16;
        } else {
            zero_ += (pair - zero_) / 16;
        }
    }
    byte_ = static_cast<std::uint8_t>(byte_ << 1 | (bit ? 1 : 0));
    if (++bits_ == 8) {
        bytes_.push_back(byte_);
        bits_ = 0;
        byte_ = 0;
        if (bytes_.size() > committed_ + kOpenBytes) CommitBytes(bytes_.size() - kOpenBytes);
        if (bytes_.size() == kHeaderBytes && bytes_[0] == 0x00 && RomLike() && Checks(bytes_))
            statedEnd_ = kHeaderBytes;
        if (bytes_.size() >= kMostBlockBytes) return false;
    }
    return true;
}

bool PulseDecoder::RomLike() const {
    const double scale = pilot_ / kRomPilot;
    return learned_ && Near(scale, 1.0, 0.12) &&
           Near(syncs_[0] + syncs_[1], kRomSyncs * scale, 0.3) &&
           Near(zero_, kRomZeroPair * scale, 0.2) && Near(one_, kRomOnePair * scale, 0.2);
}

std::size_t PulseDecoder::WholeBytes() const {
    return learned_ ? bytes_.size() : learning_.size() / 8;
}

// The bytes up to count are held for good: their halves are data now, no longer sound to keep,
// and their pairs count in the block's measured bit lengths.
void PulseDecoder::CommitBytes(std::size_t count) {
    for (; committed_ < count && committed_ < bytes_.size() && unread_.size() >= 16; ++committed_) {
        if (alikeCount_ > 0 && committed_ == alikeStart_ / 16)
            sumsAtAlike_ = BitSums{zeroSum_, oneSum_, zeroCount_, oneCount_};
        const std::uint8_t byte = bytes_[committed_];
        for (int bit = 7; bit >= 0; --bit) {
            const double pair = unread_[0] + unread_[1];
            unread_.pop_front();
            unread_.pop_front();
            if (byte >> bit & 1) {
                oneSum_ += pair;
                ++oneCount_;
            } else {
                zeroSum_ += pair;
                ++zeroCount_;
            }
        }
    }
}

// A pair no bit can be. Past where the tape said the block ends, or right after a whole byte
// with the block's checksum right there, it is other sound following the block with no pause
// (a tone of shorter pulses); else the block broke there.
void PulseDecoder::EndOnBadPair() {
    if (statedEnd_ > 0 && WholeBytes() >= statedEnd_) {
        EndAfter(statedEnd_, 0);
        return;
    }
    const bool whole =
        bits_ == 0 && bytes_.size() >= 2 && bytes_.size() < kMostBlockBytes && Checks(bytes_);
    EndData(0, !whole);
}

// The block ends after count bytes (where the tape says, or before a tone that began in it),
// at a pause of pausePulse; what was read after those bytes goes back to the search.
void PulseDecoder::EndAfter(std::size_t count, double pausePulse, bool pauseIsEdge) {
    if (!learned_) {
        learning_.resize(std::min(learning_.size(), 8 * count));
        half_ = 0;
        now_ -= pausePulse;
        LearnTimings();
        now_ += pausePulse;
        if (state_ != State::Data) {
            if (pausePulse > 0) Search(pausePulse, pauseIsEdge);
            return;
        }
    }
    count = std::clamp(count, committed_, bytes_.size());
    CommitBytes(count);
    bytes_.resize(count);
    bits_ = 0;
    byte_ = 0;
    half_ = 0;
    EndData(pausePulse, false, pauseIsEdge);
}

// The block ends: at a pause of pausePulse T-states, or broken at the current pulse. Its bytes
// are held while the pause after it is measured.
void PulseDecoder::EndData(double pausePulse, bool broke, bool pauseIsEdge) {
    state_ = State::Search;
    CommitBytes(bytes_.size());
    // What was taken but not read as whole bytes (a byte cut short, the pair that broke the
    // block, the pairs after it while the timings were learned, a tone that followed the block)
    // is sound, before the window's.
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
        for (const double pulse : rest) block.end -= pulse;
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
        // A standard header says how long the data block after it is.
        const std::vector<std::uint8_t>& bytes = block.bytes;
        const bool header = block.rom && block.checksumGood && !broke &&
                            bytes.size() == kHeaderBytes && bytes[0] == 0x00;
        nextStatedEnd_ = header ? std::size_t{bytes[12]} + std::size_t{bytes[13]} * 256 + 2 : 0;
        pending_ = std::move(block);
        // After a break, the pulses that follow are the block's rest, kept as sound.
        strays_ = broke ? kStraysInPause : 0;
    }
    bytes_.clear();
    // What followed a break, or the halves of a byte cut short, are looked at again for the
    // next pilot, from where they began; then the pulse that ended the block.
    now_ -= pausePulse;
    for (const double pulse : rest) now_ -= pulse;
    for (const double pulse : rest) {
        now_ += pulse;
        Search(pulse, true);
    }
    now_ += pausePulse;
    if (pausePulse > 0) Search(pausePulse, pauseIsEdge);
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
        RecoveredBlock text;
        text.seconds = block.start / kTStatesPerSecond;
        text.tzx = Written(tzx::TextDescriptionBlock{DamageNoteText(block.broke)});
        Emit(std::move(text));
    }
    RecoveredBlock out;
    out.seconds = block.start / kTStatesPerSecond;
    out.data = true;
    out.dataLength = static_cast<std::uint32_t>(block.bytes.size());
    out.checksumGood = block.checksumGood;
    out.broke = block.broke;
    if (block.rom) {
        out.tzx = Written(tzx::StandardSpeedBlock{Word(pauseMs), std::move(block.bytes)});
    } else {
        out.tzx = Written(tzx::TurboSpeedBlock{
            Word(block.pilot), Word(block.sync1), Word(block.sync2), Word(block.zero),
            Word(block.one), Word(std::min<std::uint32_t>(block.pilotCount, 65535)), 8,
            Word(pauseMs), std::move(block.bytes)});
    }
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
    tzx::PulseSequenceBlock pulses;
    for (const double pulse : kept_) pulses.pulses.push_back(Word(std::max(1.0, pulse)));
    out.tzx = Written(pulses);
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
        out.tzx = Written(tzx::PauseBlock{Word(part)});
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
        out.tzx = Written(tzx::PureToneBlock{Word(length), static_cast<std::uint16_t>(part)});
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
