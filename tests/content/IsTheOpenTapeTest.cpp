// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <string>

#include "IsTheOpenTape.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

TEST(IsTheOpenTape, FindsTheTapeByAnyPathAndNothingElse) {
    const TempTape tape(Bytes{1, 2, 3}, "open.tap");
    const TempTape other(Bytes{1, 2, 3}, "open.tap");
    const std::string folder = tape.Folder();
    const std::string folderName = folder.substr(folder.find_last_of("/\\") + 1);
    const struct {
        std::string target;
        bool expected;
    } cases[] = {
        {tape.Path(), true},
        {folder + "/../" + folderName + "/open.tap", true},
        {other.Path(), false},  // the same bytes in another file
        {folder + "/not-yet.tap", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.target);
        EXPECT_EQ(IsTheOpenTape(c.target, tape.Path()), c.expected);
    }
}

}  // namespace
}  // namespace brisalto::testing
