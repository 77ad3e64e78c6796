// SPDX-License-Identifier: GPL-3.0-or-later
#include "TzxVersionText.h"

namespace brisalto {

std::string TzxVersionText(std::uint8_t major, std::uint8_t minor) {
    return std::to_string(major) + (minor < 10 ? ".0" : ".") + std::to_string(minor);
}

}  // namespace brisalto
