// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include <nlohmann/json.hpp>

namespace brisalto {

// Every JSON value the console writes, its members in the order they were put.
using Json = nlohmann::ordered_json;

// Text as valid UTF-8: each byte that is not part of a well-formed sequence becomes U+FFFD.
std::string ReadableUtf8(std::string_view text);

// Puts text under key, readable; a text that is not valid UTF-8 also gets its exact bytes as
// lowercase hex under key + "BytesHex", so that a script can still open a file by its name.
void PutText(Json& object, const std::string& key, std::string_view text);

// A value on one line as the console lays JSON out: ", " between entries, ": " after a key,
// a control character as \n or \u00XX.
std::string JsonLine(const Json& value);

// An object's members as JsonLine lays them out, without the braces around them: for output
// that breaks a large object over lines of its own.
std::string JsonMembers(const Json& object);

}  // namespace brisalto
