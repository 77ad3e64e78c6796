// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstddef>
#include <optional>

#include "SuggestedName.h"

namespace brisalto {
namespace {

TEST(SuggestedSoundName, IsTheTapesNameWithTheRowItStartsAt) {
    const struct {
        TapeLocation tape;
        std::optional<std::size_t> fromIndex;
        const char* expected;
    } cases[] = {
        {TapeLocation("/tapes/game.tap"), std::nullopt, "game.wav"},
        {TapeLocation("/tapes/game.tap"), 5, "game-from-6.wav"},
        {TapeLocation("/tapes/side.a.tzx"), 0, "side.a-from-1.wav"},
        {TapeLocation("/tapes/noext"), std::nullopt, "noext.wav"},
        {TapeLocation("/tapes/all.zip", "disk 2/side b.tzx", 3), std::nullopt, "side b.wav"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.tape.path + ":" + c.tape.entry);
        EXPECT_EQ(SuggestedSoundName(c.tape, c.fromIndex), c.expected);
    }
}

}  // namespace
}  // namespace brisalto
