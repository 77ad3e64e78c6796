// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace brisalto {

// Single-byte tape text (names, descriptions, listing lines) as UTF-8, each byte through the
// system's single-byte code page: on Windows its ANSI code page when that is a single-byte one,
// elsewhere (and on a Windows whose ANSI code page is UTF-8 or a multi-byte one) Windows-1252,
// whose five undefined bytes keep their own codes (U+0081...). Both programs spell tape text
// through this one function, so they spell it alike.
std::string CodePageToUtf8(std::string_view bytes);

// Appends one character, below U+10000, to text in UTF-8.
void AppendUtf8(std::string& text, char32_t code);

// The same for a terminal, appended to text: control characters, which would move the cursor
// or colour the text, show as their visible symbols (U+2400...) or as U+FFFD, so that every
// byte gives one column.
void AppendVisibleText(std::string& text, std::string_view bytes);

}  // namespace brisalto
