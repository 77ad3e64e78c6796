// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "TapeDocument.h"

namespace brisalto {

// What became of a damaged tape, the second sentence of what is said of it.
inline constexpr std::string_view kCannotContinueText = "Cannot continue.";
inline constexpr std::string_view kSavedBeforeDamageText =
    "Only the blocks before the damage were saved.";
inline constexpr std::string_view kCountedBeforeDamageText =
    "Only the blocks before the damage are counted.";
// "The sound stops after row 3.", then why it stopped there when it is told (stop).
std::string SoundStopsText(std::size_t rows, std::string_view stop);

// What both programs say of a damaged tape (one that ends inside a block, or a recording read
// back to its first damage): "Tape file is seriously corrupted.", what became of it
// (consequence), then what damaged it when that is known (reason, a recording's).
std::string DamagedTapeText(std::string_view consequence, std::string_view reason = {});
// The same, with the reason the document keeps for a recording's damage.
std::string DamagedTapeText(const TapeDocument& document, std::string_view consequence);

}  // namespace brisalto
