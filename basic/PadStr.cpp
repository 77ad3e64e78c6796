// SPDX-License-Identifier: GPL-3.0-or-later
#include "PadStr.h"

#include <charconv>

namespace brisalto {

std::string PadLeftStr(std::string_view s, std::size_t width) {
    s = s.substr(0, width);
    std::string result(width - s.size(), ' ');
    result += s;
    return result;
}

std::string IntToPadStr(std::int64_t n, std::size_t width) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, n).ptr;
    return PadLeftStr(std::string_view(digits, static_cast<std::size_t>(end - digits)), width);
}

}  // namespace brisalto
