// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>

#include "RecordingErrors.h"

namespace brisalto {

// Told how much of a recording has been decoded (0 to 1) every so often; returns false to stop
// the decoding, which then ends in RecordingCancelled. Empty: nobody asks.
using RecordingProgress = std::function<bool(double fraction)>;

// Tells progress of fraction; RecordingCancelled when it answers false.
inline void ReportProgress(const RecordingProgress& progress, double fraction) {
    if (progress && !progress(fraction)) throw RecordingCancelled();
}

}  // namespace brisalto
