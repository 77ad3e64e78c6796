// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace brisalto {

// Single-byte tape text (names, descriptions, listing lines) as UTF-8, each byte through
// Windows-1252 as the window shows it; the five bytes that code page leaves undefined keep their
// own codes (U+0081...). Nothing is lost: every byte gives a character of its own.
std::string CodePageToUtf8(std::string_view bytes);

// The same for a terminal, appended to text: control characters, which would move the cursor
// or colour the text, show as their visible symbols (U+2400...) or as U+FFFD, so that every
// byte gives one column.
void AppendVisibleText(std::string& text, std::string_view bytes);

}  // namespace brisalto
