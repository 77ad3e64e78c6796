// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace brisalto {

// Appends utf8 as a JSON string, quotes included: quote, backslash and control characters
// escaped, everything else as it is.
void AppendJsonString(std::string& json, std::string_view utf8);

}  // namespace brisalto
