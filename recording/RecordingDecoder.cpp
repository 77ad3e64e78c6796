// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingDecoder.h"

#include <utility>

#include "TzxBlockCodec.h"

namespace brisalto {

RecordingDecoder::RecordingDecoder(double sampleRate, PulseDecoder::BlockObserver observer,
                                   double holdPauseSeconds)
    : observer_(std::move(observer)),
      pulses_(std::make_unique<PulseDecoder>(
          [this](RecoveredBlock block) { Take(std::move(block)); }, holdPauseSeconds)) {
    tzx::WriteTzxSignature(tzx_, 1, 20);
    if (sampleRate > 0) edges_ = std::make_unique<EdgeFinder>(sampleRate, *pulses_);
}

void RecordingDecoder::AddSamples(std::span<const float> mono) {
    if (edges_ && !finished_) edges_->AddSamples(mono);
}

void RecordingDecoder::AddPulse(double tstates) {
    if (!finished_) pulses_->AddPulse(tstates);
}

std::vector<std::uint8_t> RecordingDecoder::Finish() {
    if (!finished_) {
        finished_ = true;
        if (edges_) {
            edges_->Finish();
        } else {
            pulses_->Finish();
        }
    }
    return tzx_;
}

void RecordingDecoder::Take(RecoveredBlock block) {
    tzx_.insert(tzx_.end(), block.tzx.begin(), block.tzx.end());
    if (block.data) {
        ++dataBlocks_;
        if (block.broke || !block.checksumGood) ++damagedBlocks_;
    }
    if (observer_) observer_(std::move(block));
}

}  // namespace brisalto
