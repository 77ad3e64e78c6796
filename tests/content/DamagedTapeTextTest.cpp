// SPDX-License-Identifier: GPL-3.0-or-later
// A damaged tape is told in one sentence, whatever became of it and whichever program tells it.
#include <gtest/gtest.h>

#include <string>

#include "DamagedTapeText.h"

namespace brisalto::testing {
namespace {

TEST(DamagedTapeText, TheDamageThenWhatBecameOfTheTapeThenWhatDamagedIt) {
    const struct {
        std::string consequence;
        std::string reason;
        std::string expected;
    } cases[] = {
        {std::string(kCannotContinueText), "",
         "Tape file is seriously corrupted. Cannot continue."},
        {std::string(kSavedBeforeDamageText), "",
         "Tape file is seriously corrupted. Only the blocks before the damage were saved."},
        {std::string(kCountedBeforeDamageText), "The recording ends inside a block",
         "Tape file is seriously corrupted. Only the blocks before the damage are counted. The "
         "recording ends inside a block."},
        {SoundStopsText(3, ""), "",
         "Tape file is seriously corrupted. The sound stops after row 3."},
        {SoundStopsText(1, "Block 2 holds no sound."), "Block 2 fails its checksum",
         "Tape file is seriously corrupted. The sound stops after row 1. Block 2 holds no sound. "
         "Block 2 fails its checksum."},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.expected);
        EXPECT_EQ(DamagedTapeText(c.consequence, c.reason), c.expected);
    }
}

}  // namespace
}  // namespace brisalto::testing
