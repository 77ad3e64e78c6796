// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>

namespace brisalto {

// A recording that cannot be read as sound: a kind or a header the readers refuse (what
// libsndfile refuses, 0 channels, a rate of 0 or past 1 MHz, a CSW or PZX version or compression
// not known). what() is the whole message the user sees.
class RecordingError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The user stopped the decoding of a recording (its progress callback said no).
class RecordingCancelled : public std::runtime_error {
public:
    RecordingCancelled() : std::runtime_error("Reading the recording was cancelled") {}
};

}  // namespace brisalto
