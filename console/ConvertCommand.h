// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ConsoleArguments.h"
#include "TapeScan.h"

namespace brisalto {

// The convert command: tape (the request's one tape) as a TAP or TZX file at its output,
// written whole or not at all, never over the tape. What a TAP cannot hold is told on standard
// error; a damaged tape gives its whole blocks and exit 3. Returns the exit status.
int ConvertTapeFile(const ConsoleRequest& request, const ConsoleTape& tape);

}  // namespace brisalto
