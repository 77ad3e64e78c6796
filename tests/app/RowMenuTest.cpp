// SPDX-License-Identifier: GPL-3.0-or-later
// The grid's row menu through the real menu: the items each row shows, the keys that open it,
// and what it leaves as it was.
#include <QMenu>

#include "RowMenuFixture.h"

namespace brisalto::testing {
namespace {

const QString kCopy = QStringLiteral("Copy Listing");
const QString kSaveListing = QStringLiteral("Save Listing As\u2026");
const QString kSaveScreen = QStringLiteral("Save Screen As\u2026");
const QString kSaveBlock = QStringLiteral("Save Block As\u2026");
const QString kViewBlock = QStringLiteral("View Block\u2026");
const QString kSaveTape = QStringLiteral("Save Tape As\u2026");
const QString kInformation = QStringLiteral("Tape Information\u2026");
// The sound's items follow the block's on every complete row, where the sound is built, and
// the player's after them, where it is built.
#ifdef BRISALTO_HAS_SOUND
const QStringList kSound{QStringLiteral("Save Sound From Here\u2026"),
                         QStringLiteral("Save Tape As Sound\u2026")};
#else
const QStringList kSound;
#endif
#ifdef BRISALTO_HAS_PLAYER
const QStringList kPlayer{QStringLiteral("Play From Here")};
#else
const QStringList kPlayer;
#endif
// Last on every menu, tape or none, where it is built.
#ifdef BRISALTO_HAS_RECORDER
const QStringList kRecorder{QStringLiteral("Record From Sound Input\u2026")};
#else
const QStringList kRecorder;
#endif

void Escape(QMenu& menu) {
    SystemKey(menu, QEvent::KeyPress, Qt::Key_Escape);
}

using RowMenu = RowMenuFixture;

TEST_F(RowMenu, ARightClickMakesTheRowCurrentListsNothingAndOffersWhatAppliesToIt) {
    const struct {
        int row;
        QStringList items;
    } cases[] = {
        {kProgramHeaderRow, QStringList{kSaveBlock} + kSound + kPlayer +
                                QStringList{kViewBlock, kSaveTape, kInformation} + kRecorder},
        {kProgramRow, QStringList{kCopy, kSaveListing, kSaveBlock} + kSound + kPlayer +
                          QStringList{kViewBlock, kSaveTape, kInformation} + kRecorder},
        {kScreenRow, QStringList{kSaveScreen, kSaveBlock} + kSound + kPlayer +
                         QStringList{kViewBlock, kSaveTape, kInformation} + kRecorder},
        {kCodeRow, QStringList{kSaveBlock} + kSound + kPlayer +
                       QStringList{kViewBlock, kSaveTape, kInformation} + kRecorder},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        form.Memo1->setPlainText(QStringLiteral("kept"));
        const MenuWatcher watcher(Escape);
        RightClick(c.row);
        EXPECT_EQ(watcher.Shown(), 1);
        EXPECT_EQ(watcher.Items(), c.items);
        EXPECT_EQ(CurrentRow(), c.row);
        EXPECT_EQ(Pane(), QStringLiteral("kept"));
    }
}

TEST_F(RowMenu, TheBlankRowOffersTapeInformationOnlyWhenATapeIsOpen) {
    const TempTape empty({}, "empty.tap");
    Open(empty.Path());
    ASSERT_EQ(GridRows(), 1);
    {
        const MenuWatcher watcher(Escape);
        RightClick(0);
        EXPECT_EQ(watcher.Items(), QStringList({kSaveTape, kInformation}) + kRecorder);
    }
    TapeFileName = TapeLocation();  // as before the first tape of the run
    const MenuWatcher watcher(Escape);
    RightClick(0);
    EXPECT_EQ(watcher.Shown(), kRecorder.isEmpty() ? 0 : 1);
    EXPECT_EQ(watcher.Items(), kRecorder);
}

// Enter choosing an item and Esc leaving the menu are pressed in the menu and come up in the
// grid; a key pressed and released in the grid afterwards lists, as always.
TEST_F(RowMenu, TheKeysOpenItAndTheKeyThatClosesItDoesNotListAgain) {
    const struct {
        const char* what;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        MenuWatcher::Answer close;
        Qt::Key closing;
    } cases[] = {
        {"Menu key, Esc", Qt::Key_Menu, Qt::NoModifier, Escape, Qt::Key_Escape},
        {"Shift+F10, Esc", Qt::Key_F10, Qt::ShiftModifier, Escape, Qt::Key_Escape},
        {"Menu key, Enter on Copy Listing", Qt::Key_Menu, Qt::NoModifier,
         [](QMenu& menu) { ChooseItem(menu, kCopy); }, Qt::Key_Return},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        Grid().setFocus();
        form.DataSource1->MoveTo(kProgramRow);
        form.Memo1->setPlainText(QStringLiteral("kept"));
        // The menu opens on the press: the release of its key comes up in the menu.
        const MenuWatcher watcher([&c](QMenu& menu) {
            SystemKey(menu, QEvent::KeyRelease, c.key, c.modifiers);
            c.close(menu);
        });
        SystemKey(form, QEvent::KeyPress, c.key, c.modifiers);
        EXPECT_EQ(watcher.Shown(), 1);
        EXPECT_EQ(watcher.Items().size(), 6 + kSound.size() + kPlayer.size() + kRecorder.size());
        SystemKey(form, QEvent::KeyRelease, c.closing);
        EXPECT_EQ(Pane(), QStringLiteral("kept"));
        EXPECT_EQ(CurrentRow(), kProgramRow);
        EXPECT_TRUE(Grid().hasFocus());
        SystemKey(form, QEvent::KeyPress, c.closing);
        SystemKey(form, QEvent::KeyRelease, c.closing);
        EXPECT_EQ(Pane(), kPrintListing);
    }
}

}  // namespace
}  // namespace brisalto::testing
