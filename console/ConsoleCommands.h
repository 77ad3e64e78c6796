// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "ConsoleArguments.h"

namespace brisalto {

// Carries out a request that did not end at once: its text to standard output, one line per
// problem to standard error ("brisalto-tape: TAPE: message"), each tape read however the ones
// before it fared. Returns the exit status (ExitStatus.h).
int RunConsoleRequest(const ConsoleRequest& request);

}  // namespace brisalto
