// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <string>

namespace brisalto {

// A TZX version as people write it: "1.20", the minor number always in two digits ("1.02").
std::string TzxVersionText(std::uint8_t major, std::uint8_t minor);

}  // namespace brisalto
