// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingInput.h"

#include <utility>

namespace brisalto {

namespace {

RecordingInputs& Chosen() {
    static RecordingInputs inputs;
    return inputs;
}

}  // namespace

std::vector<SoundInputDevice> SoundInputDevices() {
    return Chosen().list ? Chosen().list() : PlatformSoundInputs();
}

std::unique_ptr<RecordingInput> MakeRecordingInput(unsigned rate, const QString& id) {
    return Chosen().make ? Chosen().make(rate, id) : MakePlatformRecordingInput(rate, id);
}

void SetRecordingInputs(RecordingInputs inputs) {
    Chosen() = std::move(inputs);
}

}  // namespace brisalto
