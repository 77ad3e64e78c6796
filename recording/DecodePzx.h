// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ByteSource.h"
#include "DecodeRecording.h"
#include "PulseDecoder.h"
#include "RecordingProgress.h"

namespace brisalto {

// The tape a PZX file holds (ReadPzxTape): its exact blocks as they are, the sound that no DATA
// block follows read as a loader would (PulseDecoder), each block handed to observer as it
// comes, at its place in the file. Refusals are RecordingError, a cancel RecordingCancelled.
DecodedRecording DecodePzx(ByteSource& source, const PulseDecoder::BlockObserver& observer,
                           const RecordingProgress& progress);

}  // namespace brisalto
