// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeSignal.h"

#include <string>

#include "SoundError.h"

namespace brisalto {

namespace {

constexpr std::uint64_t kOneMillisecond = kTstatesPerSecond / 1000;

std::string Grouped(std::uint64_t number) {
    std::string digits = std::to_string(number);
    for (std::size_t at = digits.size(); at > 3; at -= 3) digits.insert(at - 3, ",");
    return digits;
}

}  // namespace

TapeSignal::TapeSignal(std::span<const std::uint8_t> bytes, bool tzx, SignalLimits limits)
    : tape_(bytes, tzx), limits_(limits) {}

bool TapeSignal::Next(SignalRun& run) {
    while (taken_ == queued_) {
        if (ended_) return false;
        taken_ = 0;
        queued_ = 0;
        Take(tape_.NextEdge());
    }
    run = queue_[taken_++];
    return true;
}

void TapeSignal::Take(const TapeEdge& edge) {
    if (++edges_ > limits_.maxEdges) {
        throw SoundError("The tape's sound has more than " + Grouped(limits_.maxEdges) +
                         " edges (a loop or jump without end?)");
    }
    if (edge.rowStart) rowStart_ = edge.rowStart;
    if (!edge.noEdge) {
        if (edge.forceLow) {
            level_ = false;
        } else if (edge.forceHigh) {
            level_ = true;
        } else {
            level_ = !level_;
        }
    }
    if (edge.tstates > 0) {
        if (edge.pause) {
            QueuePause(edge.tstates);
        } else {
            Queue(level_, edge.tstates);
        }
    }
    if (edge.tapeEnd) {
        ended_ = true;
        if (sounded_) {
            // A last block without a pause still needs its closing edge and its rest at low.
            if (!edge.pause) QueuePause(2 * kOneMillisecond);
            // And the last pause its own closing edge: a reader of the sound measures a pulse,
            // the pause too, by the edge that ends it.
            Queue(true, kOneMillisecond);
            Queue(false, kOneMillisecond);
        }
    } else if (edge.stop && sounded_) {
        queue_[queued_++] = SignalRun{lastHigh_, 0, true, std::nullopt};
    }
    if (tstates_ > limits_.maxTstates) {
        throw SoundError("The tape's sound would last more than " +
                         Grouped(limits_.maxTstates / kTstatesPerSecond / 60) + " minutes");
    }
}

void TapeSignal::Queue(bool high, std::uint64_t tstates) {
    // The first pulse is started by an edge too: a reader of the sound cannot measure a pulse
    // that the file starts in.
    if (!sounded_ && high) {
        queue_[queued_++] = SignalRun{false, kOneMillisecond, false, rowStart_};
        tstates_ += kOneMillisecond;
        rowStart_.reset();
    }
    queue_[queued_++] = SignalRun{high, tstates, false, rowStart_};
    rowStart_.reset();
    tstates_ += tstates;
    sounded_ = true;
    lastHigh_ = high;
}

// A pause: after sound, an edge and at least 1 ms at the level opposite to the last pulse's,
// then low; before any sound, low. The sound library's own level for it only toggles.
void TapeSignal::QueuePause(std::uint64_t tstates) {
    const bool opposite = !lastHigh_;
    if (!sounded_ || !opposite) {
        Queue(false, tstates);
    } else if (tstates <= kOneMillisecond) {
        Queue(true, tstates);
    } else {
        Queue(true, kOneMillisecond);
        Queue(false, tstates - kOneMillisecond);
    }
    level_ = false;
}

}  // namespace brisalto
