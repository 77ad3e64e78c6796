// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace brisalto {

// s right-aligned in width characters: s cut to its first width characters, spaces before it.
std::string PadLeftStr(std::string_view s, std::size_t width);

// The decimal text of n, right-aligned in width characters as PadLeftStr does it.
std::string IntToPadStr(std::int64_t n, std::size_t width);

}  // namespace brisalto
