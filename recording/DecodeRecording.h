// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "ByteSource.h"
#include "PulseDecoder.h"
#include "PulseStream.h"
#include "RecordingProgress.h"

namespace brisalto {

// A recording turned into a tape.
struct DecodedRecording {
    std::vector<std::uint8_t> tzx;  // a whole TZX file of every block recovered
    // Why the recording was read only to a point (a length past its end, damaged compressed
    // pulses, more than 100 million pulses or 4 hours); empty when it was read whole.
    std::string cut;
};

// Decodes the recording in source, read from its start as it streams (a CSW or PZX file by its
// signature, else a sound file through libsndfile; a PZX's data blocks read as the bits they
// hold), handing each block to observer as it is read and telling progress as it goes.
// Refusals are RecordingError, a cancel RecordingCancelled, file-layer failures InOutError.
DecodedRecording DecodeRecording(ByteSource& source,
                                 const PulseDecoder::BlockObserver& observer = {},
                                 const RecordingProgress& progress = {});
// The same for the file at path (UTF-8), opened once.
DecodedRecording DecodeRecordingFile(const std::string& path,
                                     const PulseDecoder::BlockObserver& observer = {},
                                     const RecordingProgress& progress = {});
// The same for bytes in memory (an archive's entry).
DecodedRecording DecodeRecordingBytes(std::span<const std::uint8_t> bytes,
                                      const PulseDecoder::BlockObserver& observer = {},
                                      const RecordingProgress& progress = {});

}  // namespace brisalto
