// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecodePzx.h"

#include <memory>
#include <utility>

#include "PzxTape.h"

namespace brisalto {

namespace {

// Builds the TZX file of what a PZX file holds, as it comes.
class TapeOfPzx final : public PzxTapeSink {
public:
    explicit TapeOfPzx(const PulseDecoder::BlockObserver& observer) : observer_(observer) {}

    void Exact(RecoveredBlock block) override {
        tzx_.insert(tzx_.end(), block.tzx.begin(), block.tzx.end());
        if (observer_) observer_(std::move(block));
    }
    void SoundStarts(double seconds) override {
        start_ = seconds;
        // The decoder counts time from the sound it is given: its blocks are placed after what
        // came before that sound.
        decoder_ = std::make_unique<PulseDecoder>([this](RecoveredBlock block) {
            block.seconds += start_;
            if (block.broke) block.broke->seconds += start_;
            Exact(std::move(block));
        });
    }
    void SoundPulse(double tstates) override {
        if (decoder_) decoder_->AddPulse(tstates);
    }
    void SoundEnds() override {
        if (decoder_) decoder_->Finish();
        decoder_.reset();
    }

    std::vector<std::uint8_t> Take() && { return std::move(tzx_); }

private:
    const PulseDecoder::BlockObserver& observer_;
    std::vector<std::uint8_t> tzx_{'Z', 'X', 'T', 'a', 'p', 'e', '!', 0x1A, 1, 20};
    std::unique_ptr<PulseDecoder> decoder_;
    double start_ = 0;
};

}  // namespace

DecodedRecording DecodePzx(ByteSource& source, const PulseDecoder::BlockObserver& observer,
                           const RecordingProgress& progress) {
    TapeOfPzx tape(observer);
    DecodedRecording decoded;
    decoded.cut = ReadPzxTape(source, tape, progress);
    tape.SoundEnds();
    decoded.tzx = std::move(tape).Take();
    ReportProgress(progress, 1.0);
    return decoded;
}

}  // namespace brisalto
