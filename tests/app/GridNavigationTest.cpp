// SPDX-License-Identifier: GPL-3.0-or-later
#include <QHeaderView>
#include <QScrollBar>
#include <QWheelEvent>

#include "FormFixture.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

constexpr int kRows = 40;

class GridNavigation : public FormFixture {
protected:
    void SetUp() override {
        FormFixture::SetUp();
        TapeBuilder builder;
        for (int block = 0; block < kRows; ++block) builder.Header(3, "block", 0, 0);
        tape_ = std::make_unique<TempTape>(builder.Get());
        Open(tape_->Path());
        ASSERT_EQ(GridRows(), kRows);
        ASSERT_EQ(Grid().VisibleRowCount(), 9);
    }

    // Row 15 current, rows 12..20 visible (reached from the top by way of row 20).
    void StartInTheMiddle() {
        form.DataSource1->MoveTo(0);
        form.DataSource1->MoveTo(20);
        form.DataSource1->MoveTo(15);
        ASSERT_EQ(Grid().TopVisibleRow(), 12);
    }

    void Wheel(int angle) {
        const QPointF at = CellCentre(CurrentRow(), 1);
        QWheelEvent event(at, Grid().viewport()->mapToGlobal(at), {}, {0, angle}, Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(Grid().viewport(), &event);
    }

private:
    std::unique_ptr<TempTape> tape_;
};

struct KeyCase {
    Qt::Key key;
    Qt::KeyboardModifiers modifiers;
    int expected;
};

TEST_F(GridNavigation, KeysMoveTheCurrentRow) {
    const KeyCase cases[] = {
        {Qt::Key_Up, {}, 14},
        {Qt::Key_Left, {}, 14},
        {Qt::Key_Down, {}, 16},
        {Qt::Key_Right, {}, 16},
        {Qt::Key_PageUp, {}, 6},
        {Qt::Key_PageDown, {}, 24},
        {Qt::Key_Home, {}, 0},
        {Qt::Key_End, {}, kRows - 1},
        {Qt::Key_Home, Qt::ControlModifier, 0},
        {Qt::Key_End, Qt::ControlModifier, kRows - 1},
        {Qt::Key_Up, Qt::ControlModifier, 12},
        {Qt::Key_PageUp, Qt::ControlModifier, 12},
        {Qt::Key_Down, Qt::ControlModifier, 20},
        {Qt::Key_PageDown, Qt::ControlModifier, 20},
        {Qt::Key_A, {}, 15},
        {Qt::Key_Return, {}, 15},
    };
    for (const KeyCase& c : cases) {
        SCOPED_TRACE(::testing::Message()
                     << "key " << c.key << ", modifiers " << c.modifiers.toInt());
        StartInTheMiddle();
        QTest::keyPress(&Grid(), c.key, c.modifiers);  // the move happens on the way down
        EXPECT_EQ(CurrentRow(), c.expected);
        QTest::keyRelease(&Grid(), c.key, c.modifiers);
    }
}

TEST_F(GridNavigation, MovesStopAtBothEndsWithoutAppending) {
    const KeyCase cases[] = {{Qt::Key_Up, {}, 0}, {Qt::Key_PageUp, {}, 0}};
    for (const KeyCase& c : cases) {
        form.DataSource1->MoveTo(0);
        QTest::keyClick(&Grid(), c.key, c.modifiers);
        EXPECT_EQ(CurrentRow(), c.expected);
    }
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Right}) {
        form.DataSource1->MoveTo(kRows - 1);
        QTest::keyClick(&Grid(), key);
        EXPECT_EQ(CurrentRow(), kRows - 1);
    }
    EXPECT_EQ(GridRows(), kRows);
    EXPECT_FALSE(form.TblTAPFiles.HasOpenRow());
}

TEST_F(GridNavigation, AnyMouseButtonOnARowMakesItCurrentAndFocusesTheGrid) {
    const int lastColumnEnd = Grid().columnViewportPosition(6) + Grid().columnWidth(6);
    struct Press {
        Qt::MouseButton button;
        QWidget* target;
        QPoint at;
        int expected;
    };
    const QPoint indicator(5, Grid().rowViewportPosition(4) + 8);
    const QPoint rightOfTheCells(lastColumnEnd + 10, Grid().rowViewportPosition(6) + 8);
    const Press presses[] = {
        {Qt::LeftButton, Grid().viewport(), CellCentre(3, 2), 3},
        {Qt::RightButton, Grid().viewport(), CellCentre(5, 0), 5},
        {Qt::MiddleButton, Grid().viewport(), CellCentre(2, 6), 2},
        {Qt::LeftButton, Grid().verticalHeader()->viewport(), indicator, 4},
        {Qt::LeftButton, Grid().viewport(), rightOfTheCells, 6},
        {Qt::LeftButton, Grid().horizontalHeader()->viewport(), QPoint(30, 8), 1},  // title row
    };
    for (const Press& press : presses) {
        SCOPED_TRACE(press.expected);
        form.DataSource1->MoveTo(1);
        form.Button1->setFocus();
        QTest::mousePress(press.target, press.button, {}, press.at);
        QTest::mouseRelease(press.target, press.button, {}, press.at);
        EXPECT_EQ(CurrentRow(), press.expected);
        if (press.target != Grid().horizontalHeader()->viewport()) {
            EXPECT_TRUE(Grid().hasFocus());
        }
    }
}

TEST_F(GridNavigation, WheelMovesOneRowPerNotchWhileFocused) {
    form.DataSource1->MoveTo(10);
    Wheel(-120);
    EXPECT_EQ(CurrentRow(), 11);
    Wheel(240);
    EXPECT_EQ(CurrentRow(), 9);
    Wheel(-60);  // half a notch waits for its other half
    EXPECT_EQ(CurrentRow(), 9);
    Wheel(-60);
    EXPECT_EQ(CurrentRow(), 10);

    form.Button1->setFocus();
    Wheel(-120);
    EXPECT_EQ(CurrentRow(), 10);
}

TEST_F(GridNavigation, ScrollBarMovesTheCurrentRow) {
    struct BarCase {
        QAbstractSlider::SliderAction action;
        int expected;
    };
    const BarCase cases[] = {
        {QAbstractSlider::SliderSingleStepAdd, 11},    {QAbstractSlider::SliderSingleStepSub, 9},
        {QAbstractSlider::SliderPageStepAdd, 19},      {QAbstractSlider::SliderPageStepSub, 1},
        {QAbstractSlider::SliderToMaximum, kRows - 1}, {QAbstractSlider::SliderToMinimum, 0},
    };
    for (const BarCase& c : cases) {
        form.DataSource1->MoveTo(10);
        Grid().verticalScrollBar()->triggerAction(c.action);
        EXPECT_EQ(CurrentRow(), c.expected) << "action " << c.action;
        const int rowTop = Grid().rowViewportPosition(c.expected);
        EXPECT_TRUE(rowTop >= 0 && rowTop < Grid().viewport()->height());
    }
    // Dragging the thumb picks the row at the same place along the list.
    QScrollBar* bar = Grid().verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(bar->maximum());
    EXPECT_EQ(CurrentRow(), kRows - 1);
    bar->setSliderPosition(bar->minimum());
    EXPECT_EQ(CurrentRow(), 0);
    bar->setSliderDown(false);
}

TEST_F(GridNavigation, WheelOverTheScrollBarMovesOneRowPerNotchLikeOverTheCells) {
    QScrollBar* bar = Grid().verticalScrollBar();
    form.DataSource1->MoveTo(20);
    const auto wheel = [&](int angle) {
        const QPointF at(bar->width() / 2.0, bar->height() / 2.0);
        QWheelEvent event(at, bar->mapToGlobal(at), {}, {0, angle}, Qt::NoButton, Qt::NoModifier,
                          Qt::NoScrollPhase, false);
        QApplication::sendEvent(bar, &event);
    };
    wheel(-120);
    EXPECT_EQ(CurrentRow(), 21);
    wheel(240);
    EXPECT_EQ(CurrentRow(), 19);
}

// A drag moves the thumb as QScrollBar does it under the mouse: slider down, then each position.
TEST_F(GridNavigation, DraggedThumbStaysWhereItIsDraggedAndTheCurrentRowFollowsIt) {
    QScrollBar* bar = Grid().verticalScrollBar();
    form.DataSource1->MoveTo(0);
    bar->setSliderDown(true);
    for (int position = 1; position <= bar->maximum(); position += 3) {
        SCOPED_TRACE(position);
        bar->setSliderPosition(position);
        EXPECT_EQ(bar->sliderPosition(), position) << "the thumb stays under the mouse";
        EXPECT_EQ(bar->value(), position) << "the list scrolls with the thumb";
        const int rowTop = Grid().rowViewportPosition(CurrentRow());
        EXPECT_TRUE(rowTop >= 0 && rowTop + 17 <= Grid().viewport()->height())
            << "the current row is in view, at " << rowTop;
    }
    const int row = CurrentRow();
    const int position = bar->sliderPosition();
    bar->setSliderDown(false);
    EXPECT_EQ(bar->sliderPosition(), position) << "no snapping back on release";
    EXPECT_EQ(CurrentRow(), row);
}

// Dark pixels in each row's cell of the indicator column, as the column paints itself.
std::vector<int> InkPerRow(CatalogueGrid& grid, int rows) {
    QHeaderView* indicator = grid.verticalHeader();
    const QImage image = indicator->viewport()->grab().toImage();
    std::vector<int> ink;
    for (int row = 0; row < rows; ++row) {
        const int top = indicator->sectionViewportPosition(row);
        int dark = 0;
        for (int y = top + 2; y < top + indicator->sectionSize(row) - 2; ++y) {
            for (int x = 2; x < image.width() - 2; ++x) dark += qGray(image.pixel(x, y)) < 96;
        }
        ink.push_back(dark);
    }
    return ink;
}

TEST_F(GridNavigation, IndicatorColumnMarksOnlyTheCurrentRow) {
    form.DataSource1->MoveTo(3);
    const std::vector<int> ink = InkPerRow(Grid(), 6);
    for (int row = 0; row < 6; ++row) {
        if (row == 3) {
            EXPECT_GT(ink[row], 4) << "arrow at the current row";
        } else {
            EXPECT_EQ(ink[row], 0) << "row " << row;
        }
    }
}

}  // namespace
}  // namespace brisalto::testing
