// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundOutput.h"

#include <utility>

namespace brisalto {

// The platform's own: Qt Multimedia (QtSoundOutput.cpp) or Windows' wave output
// (WaveOutSoundOutput.cpp).
std::unique_ptr<SoundOutput> MakeDeviceSoundOutput(SoundFormat format);

namespace {

SoundOutputMaker& Maker() {
    static SoundOutputMaker maker;
    return maker;
}

}  // namespace

std::unique_ptr<SoundOutput> MakeSoundOutput(SoundFormat format) {
    return Maker() ? Maker()(format) : MakeDeviceSoundOutput(format);
}

void SetSoundOutputMaker(SoundOutputMaker maker) {
    Maker() = std::move(maker);
}

}  // namespace brisalto
