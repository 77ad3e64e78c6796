// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "DecodeVariables.h"

namespace brisalto {

// The variables as text lines: "a = 5", "name$ = "text"", an array's heading "DIM a(3,2)" and
// its elements indented, "FOR i = 3 TO 10 STEP 1, back to line 20 statement 2"; then
// "End of the variables (0x80 mark)" (and how many bytes follow the mark, if any) or, where the
// decoding stopped, "Offset N (0xN): not a variables area from here on".
std::vector<std::string> VariablesLines(const VariablesArea& area);

}  // namespace brisalto
