// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ConsoleArguments.h"

namespace brisalto {

// The wav command: the sound of the request's one tape, from its row on, to its output file,
// written whole or not at all. Problems go to standard error; returns the exit status.
int WriteTapeWav(const ConsoleRequest& request);

}  // namespace brisalto
