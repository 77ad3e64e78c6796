// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace brisalto {

// The text the failure display shows for a failure's message: the message with "." appended
// when it is not empty and its last character's code is above 0x2E ('.'), so that a message
// already ending in a period, a comma, a hyphen or a space is left alone.
std::string FailureText(std::string_view message);

// What both programs say of an archive that holds no tape.
inline constexpr const char* kArchiveWithoutTapeText = "The archive holds no tape (*.tap, *.tzx)";

}  // namespace brisalto
