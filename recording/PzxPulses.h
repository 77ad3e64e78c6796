// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ByteSource.h"
#include "PulseStream.h"
#include "RecordingProgress.h"

namespace brisalto {

// Passes the pulses of the PZX file in source to output in T-states: PULS blocks' pulses, DATA
// blocks' bits as their pulses, PAUS blocks as one pulse each; other blocks carry no sound.
// libspectrum's reader would do, but it expands every pulse into memory first, and a PZX whose
// counts say billions would take it all; this one streams, in bounded memory and at most
// kMaxPulses pulses. Refuses with RecordingError a file that does not begin with a PZXT block or
// is of a major version other than 1. Where the blocks lie (a length past the end, a DATA block
// with more bits than bytes, counts past kMaxPulses) the pulses end there, and the returned note
// says so; it is empty for a file read whole.
std::string PzxPulses(ByteSource& source, const PulseOutput& output,
                      const RecordingProgress& progress);

}  // namespace brisalto
