// SPDX-License-Identifier: GPL-3.0-or-later
#include "PadStr.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace brisalto {
namespace {

struct PadCase {
    const char* text;
    std::size_t width;
    const char* expected;
};

TEST(PadLeftStr, PadsOrCutsToWidth) {
    const PadCase cases[] = {
        {"ab", 5, "   ab"},     // shorter: spaces in front
        {"abcd", 4, "abcd"},    // equal: unchanged
        {"abcdef", 4, "abcd"},  // longer: cut to the first width characters
        {"abc", 0, ""},        {"", 3, "   "}, {"", 0, ""},
    };
    for (const PadCase& c : cases) {
        EXPECT_EQ(PadLeftStr(c.text, c.width), c.expected)
            << "PadLeftStr(\"" << c.text << "\", " << c.width << ")";
    }
}

struct IntPadCase {
    std::int64_t number;
    std::size_t width;
    const char* expected;
};

TEST(IntToPadStr, PadsDecimalText) {
    const IntPadCase cases[] = {
        {10, 4, "  10"},    {0, 4, "   0"}, {9999, 4, "9999"}, {12345, 4, "1234"},
        {65535, 4, "6553"}, {7, 0, ""},     {7, 1, "7"},       {-5, 4, "  -5"},
    };
    for (const IntPadCase& c : cases) {
        EXPECT_EQ(IntToPadStr(c.number, c.width), c.expected)
            << "IntToPadStr(" << c.number << ", " << c.width << ")";
    }
}

}  // namespace
}  // namespace brisalto
