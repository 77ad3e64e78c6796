// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder's sound input on Windows, through the system's own wave input: the cross-built Qt
// has no Qt Multimedia.
#include "RecordingInput.h"
#include "WaveInput.h"

namespace brisalto {

namespace {

class WaveInRecordingInput final : public RecordingInput {
public:
    explicit WaveInRecordingInput(unsigned rate) : wave_(rate) {}

    void Take(std::vector<float>& samples) override {
        if (failed_) return;
        try {
            wave_.TakeFilled(samples);
        } catch (const WaveInputError&) {
            failed_ = true;
        }
    }
    bool Failed() const override { return failed_; }

private:
    WaveInput wave_;
    bool failed_ = false;
};

}  // namespace

// The wave input records from the device the system maps it to; choosing one would need the
// wave input to open a device by number.
std::vector<SoundInputDevice> PlatformSoundInputs() {
    return {};
}

std::unique_ptr<RecordingInput> MakePlatformRecordingInput(unsigned rate, const QString&) {
    try {
        return std::make_unique<WaveInRecordingInput>(rate);
    } catch (const WaveInputError&) {
        return nullptr;
    }
}

}  // namespace brisalto
