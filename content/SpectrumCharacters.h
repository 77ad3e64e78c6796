// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>

namespace brisalto {

// The character a byte shows on the Spectrum's screen, as UTF-8, for a printable code (0x20 to
// 0x7F: ASCII but 0x5E as ↑, 0x60 as £ and 0x7F as ©); "." for every other byte.
std::string SpectrumPrintable(std::uint8_t code);

// Appends Spectrum text (a string's bytes) as UTF-8: printable codes as SpectrumPrintable,
// block graphics 0x80-0x8F as the Unicode quadrant characters, the UDGs 0x90-0xA2 as circled
// letters Ⓐ to Ⓢ, the keyword tokens as their keywords, and control codes as \{n} with n in
// decimal, so that no byte is lost or taken for another.
void AppendSpectrumText(std::string& text, std::span<const std::uint8_t> bytes);

}  // namespace brisalto
