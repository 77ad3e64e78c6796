// SPDX-License-Identifier: GPL-3.0-or-later
// The chooser of an archive of many tapes, on a real zip of 595 copies of a zmakebas tape: the
// filter as typed, sorting by a column, a cut name's tooltip, and stepping through the archive
// from the window without the chooser.
#include <QHeaderView>
#include <QHelpEvent>
#include <QLineEdit>
#include <QMenu>
#include <QToolTip>
#include <QTreeView>

#include <cstdio>

#include "ArchiveTapeChooser.h"
#include "FormFixture.h"
#include "MenuWatcher.h"
#include "RowMenuFixture.h"
#include "RunCommand.h"
#include "TapeArchive.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

constexpr int kCopies = 595;
const std::string kLongName =
    "A Very Long Name Of A Tape, Side A, As Collections Spell Them (1984)(Publisher)[a].tap";

std::string CopyName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "Game %03d.tap", number);
    return name;
}

// One zip for the suite: the copies in descending order of their numbers, then a tape twice the
// size and the long name.
class ArchiveChooser : public FormFixture {
protected:
    static void SetUpTestSuite() {
        folder_ = new TempTape({}, "empty.tap");
        RunCommand("cd '" + folder_->Folder() +
                   "' && printf '10 PRINT \"hi\"\\n' > a.bas && zmakebas -n hi -o hi.tap a.bas && "
                   "for n in $(seq " +
                   std::to_string(kCopies) +
                   "); do cp hi.tap \"$(printf 'Game %03d.tap' $n)\"; done && cat hi.tap hi.tap > "
                   "Big.tap && cp hi.tap '" +
                   kLongName +
                   "' && ls Game*.tap | sort -r > list && echo Big.tap >> list && "
                   "echo '" +
                   kLongName + "' >> list && zip -q many.zip -@ < list");
    }
    static void TearDownTestSuite() {
        delete folder_;
        folder_ = nullptr;
    }
    static std::string Zip() { return folder_->Folder() + "/many.zip"; }

    static QStringList ShownNames(const QTreeView& list) {
        QStringList names;
        for (int row = 0; row < list.model()->rowCount(); ++row)
            names << list.model()->index(row, 0).data().toString();
        return names;
    }

    static TempTape* folder_;
};
TempTape* ArchiveChooser::folder_ = nullptr;

TEST_F(ArchiveChooser, FiltersAsTypedAndSortsByTheColumnClicked) {
    const TapeFileContents contents = FindTapes(Zip());
    ASSERT_EQ(contents.tapes.size(), std::size_t(kCopies + 2));
    ArchiveTapeChooser chooser(QString::fromStdString(Zip()), contents.tapes, &form);
    chooser.show();
    auto* filter = chooser.findChild<QLineEdit*>(QStringLiteral("ArchiveTapeFilter"));
    auto* list = chooser.findChild<QTreeView*>(QStringLiteral("ArchiveTapes"));
    ASSERT_NE(filter, nullptr);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(chooser.focusWidget(), filter);
    EXPECT_EQ(ShownNames(*list).front(), QStringLiteral("Game 595.tap")) << "archive order";

    QTest::keyClicks(filter, QStringLiteral("gAME 12"));
    QStringList expected;
    for (int number = 129; number >= 120; --number)
        expected << QString::fromStdString(CopyName(number));
    EXPECT_EQ(ShownNames(*list), expected);
    EXPECT_EQ(contents.tapes[chooser.Chosen()].name, "Game 129.tap") << "the first shown";

    QHeaderView& header = *list->header();
    const auto clickTitle = [&header](int column) {
        QTest::mouseClick(header.viewport(), Qt::LeftButton, {},
                          QPoint(header.sectionViewportPosition(column) + 4, header.height() / 2));
    };
    clickTitle(0);
    std::reverse(expected.begin(), expected.end());
    EXPECT_EQ(ShownNames(*list), expected);
    // The selection stays on its tape, now the last; the keys move in the list from the filter.
    EXPECT_EQ(contents.tapes[chooser.Chosen()].name, "Game 129.tap");
    QTest::keyClick(filter, Qt::Key_Up);
    EXPECT_EQ(contents.tapes[chooser.Chosen()].name, "Game 128.tap");
    clickTitle(0);
    clickTitle(0);
    EXPECT_EQ(ShownNames(*list).front(), QStringLiteral("Game 129.tap")) << "archive order again";

    filter->clear();
    clickTitle(1);  // by size, the smallest first
    clickTitle(1);
    EXPECT_EQ(ShownNames(*list).front(), QStringLiteral("Big.tap"));
    QTest::keyClicks(filter, QStringLiteral("no such tape"));
    EXPECT_EQ(list->model()->rowCount(), 0);
    QTest::keyClick(filter, Qt::Key_Return);
    EXPECT_TRUE(chooser.isVisible()) << "nothing to open";
    filter->clear();
    QTest::keyClicks(filter, QStringLiteral("595"));
    QTest::keyClick(filter, Qt::Key_Return);
    EXPECT_EQ(chooser.result(), QDialog::Accepted);
    EXPECT_EQ(contents.tapes[chooser.Chosen()].name, "Game 595.tap");
}

TEST_F(ArchiveChooser, ACutNameShowsWholeInItsTooltip) {
    const TapeFileContents contents = FindTapes(Zip());
    ArchiveTapeChooser chooser(QString::fromStdString(Zip()), contents.tapes, &form);
    chooser.show();
    QApplication::setActiveWindow(&chooser);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&chooser));
    auto* list = chooser.findChild<QTreeView*>(QStringLiteral("ArchiveTapes"));
    const auto tipOf = [list](const QString& name) {
        const QModelIndex index =
            list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, name).value(0);
        list->scrollTo(index);
        const QPoint at = list->visualRect(index).center();
        QHelpEvent help(QEvent::ToolTip, at, list->viewport()->mapToGlobal(at));
        QApplication::sendEvent(list->viewport(), &help);
        return QToolTip::isVisible() ? QToolTip::text() : QString();
    };
    // First the name that fits, while no tooltip has shown yet.
    EXPECT_EQ(tipOf(QStringLiteral("Game 001.tap")), QString()) << "a name that fits";
    EXPECT_EQ(tipOf(QString::fromStdString(kLongName)), QString::fromStdString(kLongName));
}

// The window steps from the tape chosen to its neighbours in archive order, by the keys and by
// the row menu, and stops at the archive's ends.
using SteppingThroughAnArchive = ArchiveChooser;

TEST_F(SteppingThroughAnArchive, TheKeysAndTheRowMenuOpenTheNextAndThePreviousTape) {
    dialogs.chooserAnswer = 1;  // Game 594
    form.OpenTape(Zip());
    ASSERT_EQ(TapeFileName.entry, "Game 594.tap");
    const unsigned chosenIndex = TapeFileName.index;
    SystemKey(form, QEvent::KeyPress, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(TapeFileName.entry, "Game 593.tap");
    EXPECT_EQ(TapeFileName.index, chosenIndex + 1);
    EXPECT_EQ(GridRows(), 2);
    SystemKey(form, QEvent::KeyPress, Qt::Key_Left, Qt::AltModifier);
    SystemKey(form, QEvent::KeyPress, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(TapeFileName.entry, "Game 595.tap");
    SystemKey(form, QEvent::KeyPress, Qt::Key_Left, Qt::AltModifier);
    EXPECT_EQ(TapeFileName.entry, "Game 595.tap") << "the first tape has none before it";
    EXPECT_EQ(dialogs.chooserOffers.size(), 1u);
    EXPECT_TRUE(dialogs.failures.empty());

    const QString next = QStringLiteral("Next Tape in Archive\t") +
                         QKeySequence(Qt::ALT | Qt::Key_Right).toString(QKeySequence::NativeText);
    const QString previous =
        QStringLiteral("Previous Tape in Archive\t") +
        QKeySequence(Qt::ALT | Qt::Key_Left).toString(QKeySequence::NativeText);
    {
        const MenuWatcher watcher([&next](QMenu& menu) { ChooseItem(menu, next); });
        form.RxDBGrid1ContextMenu(form.mapToGlobal(QPoint(50, 50)));
        EXPECT_TRUE(watcher.Items().contains(next));
        EXPECT_FALSE(watcher.Items().contains(previous)) << "none before the first";
    }
    EXPECT_EQ(TapeFileName.entry, "Game 594.tap");
    {
        const MenuWatcher watcher([&previous](QMenu& menu) { ChooseItem(menu, previous); });
        form.RxDBGrid1ContextMenu(form.mapToGlobal(QPoint(50, 50)));
        EXPECT_TRUE(watcher.Items().contains(next));
    }
    EXPECT_EQ(TapeFileName.entry, "Game 595.tap");

    // A bare tape has no neighbours: the keys leave it open.
    form.OpenTape(folder_->Path());
    SystemKey(form, QEvent::KeyPress, Qt::Key_Right, Qt::AltModifier);
    EXPECT_EQ(TapeFileName.path, folder_->Path());
    EXPECT_FALSE(TapeFileName.InArchive());
}

}  // namespace
}  // namespace brisalto::testing
