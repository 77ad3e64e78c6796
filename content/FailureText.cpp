// SPDX-License-Identifier: GPL-3.0-or-later
#include "FailureText.h"

namespace brisalto {

std::string FailureText(std::string_view message) {
    std::string text(message);
    // Compared as an unsigned code: bytes from 0x80 up are above 0x2E too.
    if (!text.empty() && static_cast<unsigned char>(text.back()) > 0x2E) text += '.';
    return text;
}

}  // namespace brisalto
