// SPDX-License-Identifier: GPL-3.0-or-later
// Where a window opened from the main window goes: beside it where the screen has room, else
// below the part of it that is to stay in sight; each one opened after it a step further on.
#include <QRect>
#include <QString>

#include <gtest/gtest.h>

#include <string>

#include "WindowPlacement.h"

namespace brisalto::testing {
namespace {

std::string Shown(const QRect& rect) {
    return QStringLiteral("%1,%2 %3x%4")
        .arg(rect.x())
        .arg(rect.y())
        .arg(rect.width())
        .arg(rect.height())
        .toStdString();
}

TEST(FrameBeside, BesideWhereThereIsRoomElseBelowWhatIsKeptAStepOnForEachCascade) {
    const QRect wide(0, 0, 1920, 1080), small(0, 0, 1024, 768), low(0, 0, 1024, 600);
    const QSize wanted(700, 540);
    const struct {
        const char* what;
        QRect area, owner, keep;
        int cascade;
        QRect expected;
    } cases[] = {
        {"right, narrowed to its room", wide, {656, 300, 608, 490}, {}, 0, {1264, 300, 656, 540}},
        {"a step down and right, cut at the screen's edge", wide, {656, 300, 608, 490}, {}, 1,
         {1292, 328, 628, 540}},
        {"left where the right has less room", wide, {1200, 300, 608, 490}, {}, 0,
         {500, 300, 700, 540}},
        {"left, a step down and further left", wide, {1200, 300, 608, 490}, {}, 1,
         {472, 328, 700, 540}},
        {"no room beside: below what is kept, made lower to fit", small, {208, 140, 608, 490},
         {208, 190, 608, 177}, 0, {208, 367, 700, 401}},
        {"below, two steps on", small, {208, 140, 608, 490}, {208, 190, 608, 177}, 2,
         {264, 423, 700, 345}},
        {"below, round again once the steps leave too little", small, {208, 140, 608, 490},
         {208, 190, 608, 177}, 6, {208, 367, 700, 401}},
        {"too little below: the least height, moved up onto the screen", low,
         {208, 20, 608, 490}, {208, 400, 608, 100}, 0, {208, 360, 700, 240}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Shown(FrameBeside(c.area, c.owner, c.keep, wanted, 480, c.cascade)),
                  Shown(c.expected));
    }
}

}  // namespace
}  // namespace brisalto::testing
