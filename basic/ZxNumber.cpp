// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZxNumber.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace brisalto {

std::optional<double> SpectrumNumberValue(
    std::span<const std::uint8_t, kSpectrumNumberSize> bytes) {
    if (bytes[0] == 0) {
        // Small integer: 0, sign (0x00 or 0xFF), low byte, high byte, 0. A negative one is stored
        // as its 17-bit two's complement, the sign byte being the top bits.
        if ((bytes[1] != 0x00 && bytes[1] != 0xFF) || bytes[4] != 0) return std::nullopt;
        const int magnitude = bytes[2] | bytes[3] << 8;
        return bytes[1] == 0 ? double(magnitude) : double(magnitude - 65536);
    }
    // Floating point: exponent byte e (value 2^(e-128)), then a 32-bit mantissa 0.1xxx in
    // binary, most significant byte first, whose always-set top bit holds the sign instead.
    const bool negative = (bytes[1] & 0x80) != 0;
    const std::uint32_t mantissa = std::uint32_t(bytes[1] | 0x80) << 24 |
                                   std::uint32_t(bytes[2]) << 16 | std::uint32_t(bytes[3]) << 8 |
                                   bytes[4];
    const double magnitude = std::ldexp(double(mantissa), int(bytes[0]) - 128 - 32);
    return negative ? -magnitude : magnitude;
}

std::string SpectrumNumberText(double value) {
    if (value == 0) return "0";
    std::string text;
    if (value < 0) {
        text = "-";
        value = -value;
    }
    // Eight significant digits, rounded: d.ddddddde±x (to_chars: whatever the locale).
    char buffer[32];
    const auto written =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific, 7);
    const std::string_view scientific(buffer, std::size_t(written.ptr - buffer));
    std::string digits;
    digits += scientific[0];
    digits += scientific.substr(2, 7);
    int exponent = 0;
    const std::string_view power = scientific.substr(scientific.find('e') + 1);
    std::from_chars(power.data() + (power[0] == '+' ? 1 : 0), power.data() + power.size(),
                    exponent);
    while (digits.size() > 1 && digits.back() == '0') digits.pop_back();

    if (exponent >= 8 || exponent < -4) {
        text += digits[0];
        if (digits.size() > 1) text += "." + digits.substr(1);
        text += exponent < 0 ? "E-" : "E+";
        text += std::to_string(std::abs(exponent));
    } else if (exponent < 0) {
        text += "0.";
        text.append(std::size_t(-exponent - 1), '0');
        text += digits;
    } else {
        const std::size_t before = std::size_t(exponent) + 1;
        if (digits.size() <= before) {
            text += digits;
            text.append(before - digits.size(), '0');
        } else {
            text += digits.substr(0, before) + "." + digits.substr(before);
        }
    }
    return text;
}

std::string SpectrumNumberText(std::span<const std::uint8_t, kSpectrumNumberSize> bytes) {
    if (const auto value = SpectrumNumberValue(bytes)) return SpectrumNumberText(*value);
    char text[24];
    std::snprintf(text, sizeof text, "? (%02X %02X %02X %02X %02X)", bytes[0], bytes[1], bytes[2],
                  bytes[3], bytes[4]);
    return text;
}

}  // namespace brisalto
