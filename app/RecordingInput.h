// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <functional>
#include <memory>
#include <vector>

namespace brisalto {

// A sound input, recording mono from when it is made until it is dropped; the window looks at it
// now and then and takes what came since. Qt Multimedia's audio source on Linux, Windows' own
// wave input there (the cross-built Qt has no Qt Multimedia).
class RecordingInput {
public:
    virtual ~RecordingInput() = default;
    // Appends the samples (from -1 to 1) recorded since the last call.
    virtual void Take(std::vector<float>& samples) = 0;
    // The input failed after it started (it went away).
    virtual bool Failed() const = 0;
};

// A sound input the system offers: its id, as the platform names it, and its description.
struct SoundInputDevice {
    QString id;
    QString description;
};

// The sound inputs to record from: the system's inputs on Linux; on Windows none but the
// default, which records through the wave input's own choice.
std::vector<SoundInputDevice> SoundInputDevices();

// The input of id recording at rate, or the system's default input for an empty id or an input
// no longer there; nullptr when there is none to record from.
std::unique_ptr<RecordingInput> MakeRecordingInput(unsigned rate, const QString& id);

// The platform's own list and inputs, which the two above use unless a test chose others.
std::vector<SoundInputDevice> PlatformSoundInputs();
std::unique_ptr<RecordingInput> MakePlatformRecordingInput(unsigned rate, const QString& id);

// The platform's inputs, unless a test chose others: the list, and the maker of an input.
struct RecordingInputs {
    std::function<std::vector<SoundInputDevice>()> list;
    std::function<std::unique_ptr<RecordingInput>(unsigned rate, const QString& id)> make;
};
// Replaces them (empty ones restore the platform's).
void SetRecordingInputs(RecordingInputs inputs);

}  // namespace brisalto
