// SPDX-License-Identifier: GPL-3.0-or-later
#include <QClipboard>
#include <QKeyEvent>
#include <QScrollBar>

#include <filesystem>

#include "FormFixture.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

// Line 10: PRINT a.
const Bytes kPrintProgram{0x00, 0x0A, 0x03, 0x00, 0xF5, 'a', 0x0D};
// Line 20: GO TO 10, with the hidden five-byte form of 10.
const Bytes kGoToProgram{0x00, 0x14, 0x0A, 0x00, 0xEC, '1',  '0',
                         0x0E, 0x00, 0x00, 0x0A, 0x00, 0x00, 0x0D};
const QString kPrintListing = QStringLiteral("  10  PRINT a");
const QString kGoToListing = QStringLiteral("  20  GO TO 10");

constexpr int kPrintHeaderRow = 0, kPrintRow = 1, kGoToRow = 3, kBytesDataRow = 5;

class ListingHandlers : public FormFixture {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        const auto length = [](const Bytes& program) {
            return static_cast<std::uint16_t>(program.size());
        };
        tape_ = std::make_unique<TempTape>(
            TapeBuilder()
                .ProgramHeader("print", length(kPrintProgram), 10, length(kPrintProgram))
                .Data(kPrintProgram)
                .ProgramHeader("goto", length(kGoToProgram), 20, length(kGoToProgram))
                .Data(kGoToProgram)
                .Header(3, "code", 4, 32768)
                .Data({1, 2, 3, 4})
                .Get());
        Open(tape_->Path());
        ASSERT_EQ(GridRows(), 6);
        ASSERT_EQ(Cell(kBytesDataRow, 1), QStringLiteral("258"));
    }

    void Click(int row, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mouseClick(Grid().viewport(), button, {}, CellCentre(row, 2));
    }
    void SendKey(QEvent::Type type, Qt::Key key, bool autoRepeat) {
        QKeyEvent event(type, key, Qt::NoModifier, QString(), autoRepeat);
        QApplication::sendEvent(&Grid(), &event);
    }

    std::unique_ptr<TempTape> tape_;
};

TEST_F(ListingHandlers, ClickOnAProgramsDataRowListsIt) {
    Click(kPrintRow);
    EXPECT_EQ(CurrentRow(), kPrintRow);
    EXPECT_EQ(Pane(), kPrintListing);
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(ListingHandlers, SecondListingReplacesTheFirst) {
    Click(kPrintRow);
    Click(kGoToRow);
    EXPECT_EQ(Pane(), kGoToListing);
}

TEST_F(ListingHandlers, RowsThatAreNotAProgramsDataClearThePane) {
    for (const int row : {kPrintHeaderRow, kBytesDataRow}) {
        form.Memo1->setPlainText(QStringLiteral("stale"));
        Click(row);
        EXPECT_EQ(Pane(), QString()) << "row " << row;
    }
}

TEST_F(ListingHandlers, ClickOnTheBlankRowOfAnEmptyGridClearsThePane) {
    Open(tape_->Folder() + "/missing.tap");
    ASSERT_EQ(GridRows(), 1);
    form.Memo1->setPlainText(QStringLiteral("stale"));
    Click(0);
    EXPECT_EQ(Pane(), QString());
    EXPECT_EQ(dialogs.failures.size(), 1u);  // the missing file's, nothing from the click
}

TEST_F(ListingHandlers, KeyReleaseListsTheRowTheKeyMovedTo) {
    QTest::keyClick(&Grid(), Qt::Key_Down);
    EXPECT_EQ(Pane(), kPrintListing);
    form.Memo1->setPlainText(QStringLiteral("stale"));
    QTest::keyClick(&Grid(), Qt::Key_Shift);  // moves nothing, lists again
    EXPECT_EQ(Pane(), kPrintListing);
}

TEST_F(ListingHandlers, MovesOtherThanCellClickOrKeyReleaseLeaveThePane) {
    const auto rightClick = [&] { Click(kGoToRow, Qt::RightButton); };
    const auto indicatorPress = [&] {
        QTest::mouseClick(Grid().verticalHeader()->viewport(), Qt::LeftButton, {},
                          QPoint(5, Grid().rowViewportPosition(kGoToRow) + 8));
    };
    const auto wheel = [&] {
        QWheelEvent event(QPointF(50, 30), QPointF(50, 30), {}, {0, -120}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Grid().viewport(), &event);
    };
    const auto scrollBar = [&] {
        Grid().verticalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    };
    const auto clickRightOfTheCells = [&] {
        const int end = Grid().columnViewportPosition(6) + Grid().columnWidth(6);
        QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {},
                          QPoint(end + 10, Grid().rowViewportPosition(kGoToRow) + 8));
    };
    const std::function<void()> moves[] = {rightClick, indicatorPress, wheel, scrollBar,
                                           clickRightOfTheCells};
    for (const auto& move : moves) {
        form.DataSource1->MoveTo(kPrintHeaderRow);
        form.Memo1->setPlainText(QStringLiteral("stale"));
        move();
        EXPECT_NE(CurrentRow(), kPrintHeaderRow);
        EXPECT_EQ(Pane(), QStringLiteral("stale"));
    }
}

struct BrokenFileCase {
    const char* what;
    bool remove;
    const char* message;
};

TEST_F(ListingHandlers, FailureInTheListerIsShownAndLeavesThePaneEmpty) {
    const BrokenFileCase cases[] = {
        {"deleted", true, "File not found."},
        {"cut short", false, "Read beyond end of file."},
    };
    for (const BrokenFileCase& c : cases) {
        SCOPED_TRACE(c.what);
        dialogs.failures.clear();
        if (c.remove) {
            std::filesystem::remove(tape_->Path());
        } else {
            tape_->Rewrite(Bytes(23, 0));  // ends before the program's bytes
        }
        form.Memo1->setPlainText(QStringLiteral("stale"));
        Click(kPrintRow);
        EXPECT_EQ(dialogs.failures, std::vector<QString>{QString::fromLatin1(c.message)});
        EXPECT_EQ(Pane(), QString());
    }
}

// Counted through a deleted file: every listing attempt shows one failure.
TEST_F(ListingHandlers, DoubleClickListsTwiceAndAHeldKeyOnceOnRelease) {
    form.DataSource1->MoveTo(kPrintRow);
    std::filesystem::remove(tape_->Path());

    // What the window system sends for a double click: press, release, double-click, release.
    const QPoint at = CellCentre(kPrintRow, 0);
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, at);
    QMouseEvent second(QEvent::MouseButtonDblClick, at, Grid().viewport()->mapToGlobal(at),
                       Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(Grid().viewport(), &second);
    QTest::mouseRelease(Grid().viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(dialogs.failures.size(), 2u);

    dialogs.failures.clear();
    SendKey(QEvent::KeyPress, Qt::Key_Shift, false);
    for (int repeat = 0; repeat < 3; ++repeat) {
        SendKey(QEvent::KeyRelease, Qt::Key_Shift, true);
        SendKey(QEvent::KeyPress, Qt::Key_Shift, true);
    }
    EXPECT_TRUE(dialogs.failures.empty());
    SendKey(QEvent::KeyRelease, Qt::Key_Shift, false);
    EXPECT_EQ(dialogs.failures.size(), 1u);
}

}  // namespace
}  // namespace brisalto::testing

namespace brisalto::testing {
namespace {

using ListingPane = ListingHandlers;

TEST_F(ListingPane, KeysMoveAVisibleCaretSelectAndCopyButTypingChangesNothing) {
    Click(kGoToRow);
    form.Memo1->setPlainText(QStringLiteral("  10  PRINT a\n\n  20  GO TO 10"));
    form.Memo1->setFocus();
    QTest::keyClick(form.Memo1, Qt::Key_End, Qt::ControlModifier);
    EXPECT_EQ(form.Memo1->textCursor().position(), Pane().size());
    QTest::keyClick(form.Memo1, Qt::Key_Home, Qt::ControlModifier);
    EXPECT_EQ(form.Memo1->textCursor().position(), 0);
    QTest::keyClick(form.Memo1, Qt::Key_Right, Qt::ShiftModifier);
    QTest::keyClick(form.Memo1, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(form.Memo1->textCursor().selectedText(), QStringLiteral("  "));
    QTest::keyClick(form.Memo1, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(form.Memo1, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Pane());
    QTest::keyClicks(form.Memo1, QStringLiteral("x"));
    QTest::keyClick(form.Memo1, Qt::Key_Delete);
    EXPECT_EQ(Pane(), QStringLiteral("  10  PRINT a\n\n  20  GO TO 10"));

    // The caret on the empty second line is the only ink there.
    QTest::keyClick(form.Memo1, Qt::Key_Home, Qt::ControlModifier);
    QTest::keyClick(form.Memo1, Qt::Key_Down);
    const QRect caret = form.Memo1->cursorRect();
    const QImage image = form.Memo1->viewport()->grab().toImage();
    int dark = 0;
    for (int y = caret.top(); y <= caret.bottom(); ++y) {
        for (int x = std::max(0, caret.left() - 1); x <= caret.right() + 1; ++x) {
            dark += qGray(image.pixel(x, y)) < 96;
        }
    }
    EXPECT_GT(dark, 4) << "a caret shows";
}

}  // namespace
}  // namespace brisalto::testing
