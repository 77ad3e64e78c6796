// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <span>
#include <string>

#include "ConvertTape.h"

namespace brisalto {

// What a conversion to TAP left out, kind by kind in the order given: "3 pure tones, 2 pulse
// sequences, 1 text description", a too-long body as "1 turbo speed data block longer than
// 65,535 bytes". Empty when nothing was.
std::string LeftOutText(std::span<const LeftOutBlocks> leftOut);

// The sentence both front ends show: "Left out what a TAP file cannot hold: " and the above;
// empty when nothing was.
std::string LeftOutSentence(std::span<const LeftOutBlocks> leftOut);

}  // namespace brisalto
