// SPDX-License-Identifier: GPL-3.0-or-later
#include "JsonText.h"

#include <cstdint>
#include <cstdio>

namespace brisalto {

void AppendJsonString(std::string& json, std::string_view utf8) {
    json += '"';
    for (const char c : utf8) {
        const auto code = static_cast<std::uint8_t>(c);
        if (c == '"' || c == '\\') {
            json += '\\';
            json += c;
        } else if (c == '\n') {
            json += "\\n";
        } else if (code < 0x20) {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", unsigned(code));
            json += escape;
        } else {
            json += c;
        }
    }
    json += '"';
}

}  // namespace brisalto
