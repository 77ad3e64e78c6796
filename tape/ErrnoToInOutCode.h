// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brisalto {

// Maps a POSIX errno onto the codes of the failure table, so that messages read the same as on
// Windows, whose native codes already are those; any other errno passes through unchanged.
int ErrnoToInOutCode(int error) noexcept;

class InOutError;
// The failure for a POSIX errno, with its table code; an errno that passes through unchanged
// and has the number of a run-time code still reads "I/O error n".
InOutError ErrnoToInOutError(int error);

}  // namespace brisalto
