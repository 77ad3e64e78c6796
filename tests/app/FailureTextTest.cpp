// SPDX-License-Identifier: GPL-3.0-or-later
#include "FailureText.h"

#include <gtest/gtest.h>

namespace brisalto {
namespace {

struct PeriodCase {
    const char* message;
    const char* shown;
};

// The period is added only above 0x2E: '.' itself, and '-' and ',' below it, are left alone.
TEST(FailureText, AddsPeriodOnlyAfterCodesAbove0x2E) {
    const PeriodCase cases[] = {
        {"", ""},
        {"File not found", "File not found."},
        {"Ends in a period.", "Ends in a period."},
        {"hyphen-", "hyphen-"},  // 0x2D
        {"comma,", "comma,"},    // 0x2C
        {"space ", "space "},    // 0x20
        {"slash/", "slash/."},   // 0x2F, the first code above
        {"I/O error 5", "I/O error 5."},
        {"quote'", "quote'"},         // 0x27
        {"high \xFF", "high \xFF."},  // a code above 0x7F, not a negative char
        {"high \x80", "high \x80."},
    };
    for (const PeriodCase& c : cases) {
        EXPECT_EQ(FailureText(c.message), c.shown) << "message: " << c.message;
    }
}

}  // namespace
}  // namespace brisalto
