// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>
#include <string>

#include "RecoveredBlock.h"

namespace brisalto {

// The note a tape read from sound keeps as a text description before a damaged block: where it
// broke (the byte it was reading, the time in the recording), or that its checksum does not
// match. Both front ends give it as the tape's damage, starting "Damaged: ".
std::string DamageNoteText(const std::optional<BlockBreak>& broke);

}  // namespace brisalto
