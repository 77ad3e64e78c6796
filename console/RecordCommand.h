// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ConsoleArguments.h"

namespace brisalto {

// The record command: the default sound input (or the request's device) decoded as it comes,
// until the request's seconds have passed or Ctrl+C, each block told on standard error as it is
// read; then what was recovered written to the request's output as a TAP or TZX file, whole or
// not at all. An output that cannot be written is refused before recording begins; one that
// fails at the end leaves the recording in a temporary file, whose path is told (exit 1). No
// sound input, or one that fails, is told and gives exit 1; a damaged block gives exit 3. With
// listDevices, the sound inputs are listed on standard output instead. Returns the exit status.
int RecordFromSoundInput(const ConsoleRequest& request);

}  // namespace brisalto
