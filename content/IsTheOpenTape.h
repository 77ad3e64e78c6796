// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace brisalto {

// Whether the file at target is the tape file at tapePath (an archive's own file for a tape in
// it) by whatever path: links and ".." lead to the same file. Both paths are UTF-8. False when
// either cannot be looked at, such as a target not made yet.
bool IsTheOpenTape(const std::string& target, const std::string& tapePath);

// Why nothing is saved over the open tape, after the target's name.
inline constexpr const char* kOverTheOpenTapeText =
    "is the tape that is open; it cannot be written over";

}  // namespace brisalto
