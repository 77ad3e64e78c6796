// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brisalto {

// The console program's exit statuses; when several tapes fare differently, the first of
// usage, failure, damaged that arose.
inline constexpr int kExitGood = 0;
inline constexpr int kExitFailure = 1;  // a tape or an output file could not be read or written
inline constexpr int kExitUsage = 2;    // the command line asks for nothing that can be done
inline constexpr int kExitDamaged = 3;  // a tape ended inside a block; its rows up to there shown

}  // namespace brisalto
