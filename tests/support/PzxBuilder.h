// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "TapeBuilder.h"

namespace brisalto::testing {

// A PZX file of a TAP file's blocks as a Spectrum's ROM saves them: each a pilot tone
// (8,063 pulses before a header, 3,223 before data, of 2,168 T-states), the syncs (667, 735), the
// bits (855 T-states twice for a 0, 1,710 twice for a 1, a tail of 945) and a second's pause.
Bytes RomPzx(const Bytes& tap);

// A PZX file of a tone of about length T-states a pulse, as a recording keeps sound: one PULS
// block alone, which is read as sound, not as data, as it streams. It is written in runs of 50
// pulses, each run a T-state longer or shorter than the one before (so that the reader cannot
// take it for a few long runs), pulses / 50 runs in all.
Bytes TonePzx(std::uint32_t pulses, std::uint16_t length);

}  // namespace brisalto::testing
