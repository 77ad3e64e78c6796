// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>

#include "TzxVersionText.h"

namespace brisalto {
namespace {

TEST(TzxVersionText, WritesTheMinorNumberInTwoDigits) {
    const struct {
        std::uint8_t major;
        std::uint8_t minor;
        const char* expected;
    } cases[] = {
        {1, 20, "1.20"}, {1, 0, "1.00"}, {1, 9, "1.09"}, {1, 10, "1.10"}, {255, 255, "255.255"},
    };
    for (const auto& c : cases) EXPECT_EQ(TzxVersionText(c.major, c.minor), c.expected);
}

}  // namespace
}  // namespace brisalto
