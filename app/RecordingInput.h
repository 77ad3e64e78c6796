// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>
#include <vector>

namespace brisalto {

// The system's default sound input, recording mono from when it is made until it is dropped;
// the window looks at it now and then and takes what came since. Qt Multimedia's audio source
// on Linux, Windows' own wave input there (the cross-built Qt has no Qt Multimedia).
class RecordingInput {
public:
    virtual ~RecordingInput() = default;
    // Appends the samples (from -1 to 1) recorded since the last call.
    virtual void Take(std::vector<float>& samples) = 0;
    // The input failed after it started (it went away).
    virtual bool Failed() const = 0;
};

// The default input recording at rate; nullptr when there is none to record from.
std::unique_ptr<RecordingInput> MakeRecordingInput(unsigned rate);

}  // namespace brisalto
