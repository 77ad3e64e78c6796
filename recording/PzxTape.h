// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ByteSource.h"
#include "RecordingProgress.h"
#include "RecoveredBlock.h"

namespace brisalto {

// Where a PZX file's contents go as they are read, in the file's order.
class PzxTapeSink {
public:
    virtual ~PzxTapeSink() = default;
    // A TZX block that holds what the file holds exactly: a data block with its timings, the
    // tones, pulses and pauses around it, a text.
    virtual void Exact(RecoveredBlock block) = 0;
    // Sound that only a loader could read (pulses that no DATA block follows): where it starts,
    // in seconds from the file's start, then its pulses in T-states, then its end, before the
    // next exact block.
    virtual void SoundStarts(double seconds) = 0;
    virtual void SoundPulse(double tstates) = 0;
    virtual void SoundEnds() = 0;
};

// Reads the PZX file in source (Patrik Rak's Perfect ZX Tape), streaming, in bounded memory
// besides the data blocks themselves. A DATA block is read as the bits it holds, into the TZX
// block that holds them and the pulses before it exactly: at the ROM's timings a standard speed
// block (0x10) with the ROM's pilot and syncs; with a pilot tone and two syncs before it, and
// bits of two equal pulses, a turbo block (0x11); with such bits and nothing before it, or
// pulses that are no pilot and syncs (then tones and pulses, 0x12 and 0x13, first), a pure data
// block (0x14); bits of other pulses, a generalized data block (0x19). The last bit's tail pulse
// and the PAUS block after it become the block's pause. PULS blocks that no DATA block follows,
// and the PAUS blocks within them, are sound; other PAUS blocks are pauses (0x20), PZXT's texts
// archive information (0x32), BRWS browse points text descriptions (0x30), STOP a pause of 0
// (0x20) or a stop in 48K mode (0x2A).
// Refuses with RecordingError a file that does not begin with a PZXT block or is of a major
// version other than 1. Where the blocks lie (a length past the end, a DATA block with more bits
// than bytes, more than kMaxPulses pulses or kMaxRecordingSeconds of sound, exact or not) the
// read ends there, with what was read of the block, and the returned note says so; it is empty
// for a file read whole.
std::string ReadPzxTape(ByteSource& source, PzxTapeSink& sink, const RecordingProgress& progress);

}  // namespace brisalto
