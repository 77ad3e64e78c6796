#pragma once

namespace brisalto {

// Maps a POSIX errno onto the codes of the failure table, so that messages read the same as on
// Windows, whose native codes already are those; any other errno passes through unchanged.
int ErrnoToInOutCode(int error) noexcept;

}  // namespace brisalto
