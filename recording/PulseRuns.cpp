// SPDX-License-Identifier: GPL-3.0-or-later
#include "PulseRuns.h"

#include <utility>

namespace brisalto {

void PulseRuns::Add(bool high, std::uint64_t length, std::uint64_t count) {
    if (length == 0 || count == 0) return;
    if (runs_.empty()) {
        firstHigh_ = high;
    } else if (high == lastHigh_) {
        // No edge between the last pulse and this one: they are one pulse.
        Run& last = runs_.back();
        const std::uint64_t joined = last.length + length;
        if (--last.count == 0) runs_.pop_back();
        Push(joined, 1);
        high = !high;
        --count;
    }
    if (count > 0) {
        Push(length, count);
        lastHigh_ = count % 2 == 1 ? high : !high;
    }
}

Run PulseRuns::TakeFirst(bool& high) {
    const Run run = runs_.front();
    runs_.pop_front();
    high = firstHigh_;
    if (run.count % 2 == 1) firstHigh_ = !firstHigh_;
    return run;
}

std::uint64_t PulseRuns::Pulses() const noexcept {
    std::uint64_t pulses = 0;
    for (const Run& run : runs_) pulses += run.count;
    return pulses;
}

double PulseRuns::TStates() const noexcept {
    double tstates = 0;
    for (const Run& run : runs_) tstates += double(run.length) * double(run.count);
    return tstates;
}

void PulseRuns::Push(std::uint64_t length, std::uint64_t count) {
    if (!runs_.empty() && runs_.back().length == length) {
        runs_.back().count += count;
    } else {
        runs_.push_back({length, count});
    }
}

std::optional<PilotAndSyncs> AsPilotAndSyncs(const PulseRuns& pulses) {
    std::vector<Run> runs(pulses.Runs().begin(), pulses.Runs().end());
    if (runs.size() < 2) return std::nullopt;
    const auto takeLast = [&runs](std::uint64_t& length) {
        length = runs.back().length;
        if (--runs.back().count == 0) runs.pop_back();
    };
    PilotAndSyncs lead;
    takeLast(lead.sync2);
    if (runs.empty()) return std::nullopt;
    takeLast(lead.sync1);
    if (runs.empty() || runs.back().count < 2) return std::nullopt;
    lead.pilot = runs.back();
    runs.pop_back();
    lead.before = std::move(runs);
    return lead;
}

}  // namespace brisalto
