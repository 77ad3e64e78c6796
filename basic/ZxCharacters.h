// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace brisalto {

// What every view (the BASIC, Variables and Array tabs and the console's views) prints for a
// Spectrum character, as UTF-8, in characters both the built-in Spectrum font and ordinary
// fonts draw: a printable code 0x20 to 0x7F as ASCII but 0x5E as ↑, 0x60 as £ and 0x7F as ©;
// a block graphic 0x80 to 0x8F as its Unicode quadrant character (0x80, no quadrant, as a
// space); a user-defined graphic 0x90 to 0xA2 as its letter after a backslash, \A to \S, as
// zmakebas writes and reads them. Empty for a keyword token or a control code.
std::string_view SpectrumCharacter(std::uint8_t code);

// A printable code 0x20 to 0x7F as SpectrumCharacter gives it; "." for every other byte.
std::string SpectrumPrintable(std::uint8_t code);

// Appends Spectrum text (a string's bytes) as UTF-8: characters as SpectrumCharacter, the
// keyword tokens as their keywords, and control codes as \{n} with n in decimal (zmakebas's
// form), so that no byte is lost or taken for another.
void AppendSpectrumText(std::string& text, std::span<const std::uint8_t> bytes);

}  // namespace brisalto
