// SPDX-License-Identifier: GPL-3.0-or-later
#include "JsonLayout.h"

#include <cstddef>
#include <cstdint>

namespace brisalto {

namespace {

// The length of the well-formed UTF-8 sequence that starts text at at, or 0 for none.
std::size_t SequenceLength(std::string_view text, std::size_t at) {
    const auto byte = [&](std::size_t i) { return static_cast<std::uint8_t>(text[i]); };
    const std::uint8_t lead = byte(at);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    std::uint8_t low = 0x80;  // the second byte's range, narrower where overlong or surrogate
    std::uint8_t high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() - at < length) return 0;
    if (byte(at + 1) < low || byte(at + 1) > high) return 0;
    for (std::size_t i = 2; i < length; ++i) {
        if (byte(at + i) < 0x80 || byte(at + i) > 0xBF) return 0;
    }
    return length;
}

bool IsUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) return false;
        at += length;
    }
    return true;
}

std::string Hex(std::string_view bytes) {
    constexpr std::string_view kDigits = "0123456789abcdef";
    std::string hex;
    hex.reserve(bytes.size() * 2);
    for (const char c : bytes) {
        const auto byte = static_cast<std::uint8_t>(c);
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0x0F];
    }
    return hex;
}

// A string as JSON: the library's escaping, with the control characters it writes as \b, \t,
// \f and \r written as \u00XX, as this output always has.
std::string StringJson(const Json& text) {
    const std::string escaped = text.dump(-1, ' ', false, Json::error_handler_t::replace);
    std::string json;
    json.reserve(escaped.size());
    for (std::size_t at = 0; at < escaped.size(); ++at) {
        if (escaped[at] != '\\' || at + 1 == escaped.size()) {
            json += escaped[at];
            continue;
        }
        const char code = escaped[++at];
        switch (code) {
            case 'b': json += "\\u0008"; break;
            case 't': json += "\\u0009"; break;
            case 'f': json += "\\u000c"; break;
            case 'r': json += "\\u000d"; break;
            default: json += '\\'; json += code;
        }
    }
    return json;
}

void AppendLine(std::string& json, const Json& value);

void AppendMembers(std::string& json, const Json& object) {
    bool first = true;
    for (const auto& [key, member] : object.items()) {
        if (!first) json += ", ";
        first = false;
        json += StringJson(key);
        json += ": ";
        AppendLine(json, member);
    }
}

void AppendLine(std::string& json, const Json& value) {
    if (value.is_object()) {
        json += '{';
        AppendMembers(json, value);
        json += '}';
    } else if (value.is_array()) {
        json += '[';
        bool first = true;
        for (const Json& entry : value) {
            if (!first) json += ", ";
            first = false;
            AppendLine(json, entry);
        }
        json += ']';
    } else if (value.is_string()) {
        json += StringJson(value);
    } else {
        json += value.dump();
    }
}

}  // namespace

std::string ReadableUtf8(std::string_view text) {
    std::string readable;
    readable.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) {
        const std::size_t length = SequenceLength(text, at);
        if (length == 0) {
            readable += "\xEF\xBF\xBD";
            ++at;
        } else {
            readable.append(text.substr(at, length));
            at += length;
        }
    }
    return readable;
}

void PutText(Json& object, const std::string& key, std::string_view text) {
    if (IsUtf8(text)) {
        object[key] = std::string(text);
        return;
    }
    object[key] = ReadableUtf8(text);
    object[key + "BytesHex"] = Hex(text);
}

std::string JsonLine(const Json& value) {
    std::string json;
    AppendLine(json, value);
    return json;
}

std::string JsonMembers(const Json& object) {
    std::string json;
    AppendMembers(json, object);
    return json;
}

}  // namespace brisalto
