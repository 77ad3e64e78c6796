// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ByteSource.h"
#include "PulseStream.h"
#include "RecordingProgress.h"

namespace brisalto {

// Passes the pulses of the CSW file in source (version 1 or 2; RLE, or Z-RLE inflated as it
// streams) to output in T-states, in bounded memory and at most kMaxPulses of them. Refuses with
// RecordingError a file without CSW's signature, a header cut short, a version or compression
// not known, or a rate of 0. Where
// the pulses lie (a length cut off by the end, damaged or cut-off compressed data, more than
// kMaxPulses) they end there, and the returned note says so; it is empty for a file read whole.
std::string CswPulses(ByteSource& source, const PulseOutput& output,
                      const RecordingProgress& progress);

}  // namespace brisalto
