// SPDX-License-Identifier: GPL-3.0-or-later
// Texts that are not UTF-8 in JSON: U+FFFD for each byte outside a well-formed sequence, the
// exact bytes beside as hex; the layout the console has always written.
#include <gtest/gtest.h>

#include <string>

#include "JsonLayout.h"

namespace {

using brisalto::Json;

struct BadText {
    std::string bytes;
    std::string readable;  // with U+FFFD as "?" here, for a readable table
};

class JsonText : public testing::TestWithParam<BadText> {};

std::string Marked(std::string text) {
    for (std::size_t at = text.find("\xEF\xBF\xBD"); at != std::string::npos;
         at = text.find("\xEF\xBF\xBD", at))
        text.replace(at, 3, "?");
    return text;
}

TEST_P(JsonText, ReadableWithItsBytesBeside) {
    const BadText& text = GetParam();
    Json object = Json::object();
    brisalto::PutText(object, "name", text.bytes);
    EXPECT_EQ(Marked(object["name"].get<std::string>()), text.readable);
    std::string hex;
    for (const char c : text.bytes) {
        static constexpr char kDigits[] = "0123456789abcdef";
        hex += kDigits[static_cast<unsigned char>(c) >> 4];
        hex += kDigits[static_cast<unsigned char>(c) & 0x0F];
    }
    EXPECT_EQ(object["nameBytesHex"], hex);
    // The line is valid UTF-8: the library reads it back.
    EXPECT_EQ(Json::parse(brisalto::JsonLine(object))["name"], object["name"]);
}

INSTANTIATE_TEST_SUITE_P(
    Bytes, JsonText,
    testing::Values(BadText{"caf\xE9.tap", "caf?.tap"}, BadText{"\x82t.tap", "?t.tap"},
                    BadText{"x\xFF", "x?"}, BadText{"\xC0\xAF", "??"},            // overlong '/'
                    BadText{"\xED\xA0\x80", "???"},                               // a surrogate
                    BadText{"\xF0\x9F\x98", "???"},                               // cut short
                    BadText{"\xF4\x90\x80\x80", "????"},                          // past U+10FFFF
                    BadText{"\xC3\xA9\xE9\xE2\x82\xAC", "\xC3\xA9?\xE2\x82\xAC"}  // good kept
                    ));

TEST(JsonText, ValidTextHasNoHex) {
    Json object = Json::object();
    brisalto::PutText(object, "tape", "S\xC3\xBC\x64.tap");
    EXPECT_FALSE(object.contains("tapeBytesHex"));
}

TEST(JsonLayout, KeepsTheConsolesSpacingAndEscapes) {
    const Json value = {{"a", 1}, {"b", {true, nullptr}}, {"c", "t\tr\rn\n\x01\"\\/"}};
    EXPECT_EQ(brisalto::JsonLine(value),
              R"({"a": 1, "b": [true, null], "c": "t\u0009r\u000dn\n\u0001\"\\/"})");
    EXPECT_EQ(brisalto::JsonMembers(value).substr(0, 8), R"("a": 1, )");
}

}  // namespace
