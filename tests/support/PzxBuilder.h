// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "TapeBuilder.h"

namespace brisalto::testing {

// A PZX file of a TAP file's blocks as a Spectrum's ROM saves them: each a pilot tone
// (8,063 pulses before a header, 3,223 before data, of 2,168 T-states), the syncs (667, 735), the
// bits (855 T-states twice for a 0, 1,710 twice for a 1, a tail of 945) and a second's pause.
Bytes RomPzx(const Bytes& tap);

}  // namespace brisalto::testing
