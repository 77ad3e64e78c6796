// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "RecoveredBlock.h"

namespace brisalto {

// One line, UTF-8, on a block read from sound as it comes, for both front ends: where it starts
// in the recording, then a header as its LOAD statement names it (`Program: "hello" LINE 10`), a
// data block's length without flag and checksum and whether its checksum is good, or where a
// damaged one broke; a text description's text (the decoder's note on damage); sound kept as it
// was measured by its TZX kind's name. A block whose bytes
// are shorter than it says is worded from the bytes there are.
std::string RecoveredBlockText(const RecoveredBlock& block);

}  // namespace brisalto
