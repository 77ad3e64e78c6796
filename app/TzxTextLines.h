// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <vector>

#include "ScanDetails.h"

namespace brisalto {

// What a TZX tape's text blocks say, as lines for people, in tape order: archive information
// (0x32) as one line per field under "Archive information:", text descriptions (0x30) and
// messages (0x31) as their text, hardware information (0x33) as one line per machine or device
// with what the tape does on it. A text's own line breaks (0x0D) start new lines, indented under
// its first. Texts stay in the tape's code page. Every length and count is checked against the
// block's bytes: what lies past them is left out.
std::vector<std::string> TzxTextLines(const std::vector<TzxTextBlock>& blocks);

}  // namespace brisalto
