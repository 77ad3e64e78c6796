// SPDX-License-Identifier: GPL-3.0-or-later
#include "DamageNote.h"

#include <cstdio>

namespace brisalto {

namespace {

// Minutes and seconds to the millisecond: "1:02.345".
std::string TimeText(double seconds) {
    const auto minutes = static_cast<int>(seconds / 60);
    char text[32];
    std::snprintf(text, sizeof text, "%d:%06.3f", minutes, seconds - 60.0 * minutes);
    return text;
}

}  // namespace

std::string DamageNoteText(const std::optional<BlockBreak>& broke) {
    if (!broke) return "Damaged: the block's checksum does not match";
    return "Damaged: the block broke at byte " + std::to_string(broke->byte) + ", at " +
           TimeText(broke->seconds) + " in the recording";
}

}  // namespace brisalto
