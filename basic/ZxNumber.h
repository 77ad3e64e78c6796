// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace brisalto {

inline constexpr std::size_t kSpectrumNumberSize = 5;

// The value of a number in the Spectrum's five-byte form: the small-integer form (0, sign byte
// 0x00 or 0xFF, the value low byte first, 0) or floating point (exponent byte, four mantissa
// bytes whose top bit is the sign). Nothing for bytes in neither form: a first byte 0 whose
// sign byte or last byte does not fit the small-integer form.
std::optional<double> SpectrumNumberValue(std::span<const std::uint8_t, kSpectrumNumberSize> bytes);

// value as PRINT shows it: eight significant digits, correctly rounded, trailing zeros left
// out; E-format (1E-5, 1.2345679E+8) for more than eight digits before the decimal point or
// more than four zeros after it.
std::string SpectrumNumberText(double value);

// The five bytes' value as PRINT shows it, or "?" with the bytes in hex for bytes in neither
// form.
std::string SpectrumNumberText(std::span<const std::uint8_t, kSpectrumNumberSize> bytes);

}  // namespace brisalto
