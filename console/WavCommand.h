// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ConsoleArguments.h"
#include "TapeScan.h"

namespace brisalto {

// The wav command: the sound of tape (the request's one tape), from its row on, to its output
// file, written whole or not at all. Problems go to standard error; returns the exit status.
int WriteTapeWav(const ConsoleRequest& request, const ConsoleTape& tape);

}  // namespace brisalto
