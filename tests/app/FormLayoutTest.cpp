// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QStyleOptionButton>

#include "FormFixture.h"

namespace brisalto::testing {
namespace {

using FormLayout = FormFixture;

struct ControlCase {
    const char* name;
    QRect geometry;
    const char* text;  // caption, or nullptr for controls without one
    bool bold;
};

TEST_F(FormLayout, ControlsHaveTheirGeometryCaptionsAndFonts) {
    const ControlCase cases[] = {
        {"Label3", {228, 5, 153, 13}, "Tape Structure Information", true},
        {"RxDBGrid1", {0, 24, 609, 177}, nullptr, false},
        {"Label1", {271, 205, 70, 13}, "BASIC Code", true},
        {"Memo1", {0, 225, 609, 200}, nullptr, false},
        {"Button1", {2, 428, 105, 33}, "Open Tape", false},
        {"ChkShowRaw", {113, 432, 129, 26}, "Show Raw Blocks", false},
        {"ChkSpeccy", {241, 432, 129, 26}, "Use Zx Spectrum Font", false},
        {"Label2", {392, 432, 213, 26}, nullptr, false},
    };
    for (const ControlCase& c : cases) {
        SCOPED_TRACE(c.name);
        const auto* control = form.findChild<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_NE(control, nullptr);
        EXPECT_EQ(control->geometry(), c.geometry);
        EXPECT_EQ(control->font().bold(), c.bold);
        if (c.text == nullptr) continue;
        const auto* label = qobject_cast<const QLabel*>(control);
        const auto* button = qobject_cast<const QAbstractButton*>(control);
        EXPECT_EQ(label ? label->text() : button->text(), QString::fromLatin1(c.text));
    }
    const auto* credit = form.findChild<QLabel*>(QStringLiteral("Label2"));
    EXPECT_TRUE(credit->alignment().testFlag(Qt::AlignRight));
    const QStringList creditLines = credit->text().split(QLatin1Char('\n'));
    ASSERT_EQ(creditLines.size(), 2);
    EXPECT_EQ(creditLines[1], QStringLiteral("Last update: August 16th, 2010"));
}

TEST_F(FormLayout, WindowIsAFixedCentredBrisaltoWindowWithoutMaximize) {
    EXPECT_EQ(form.windowTitle(), QStringLiteral("Brisalto"));
    EXPECT_EQ(QApplication::applicationDisplayName(), QStringLiteral("Brisalto"));
    EXPECT_EQ(QApplication::applicationVersion(), QStringLiteral("1.0.0.3"));
    EXPECT_EQ(form.size(), QSize(608, 463));
    EXPECT_EQ(form.minimumSize(), form.maximumSize());
    EXPECT_FALSE(form.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::WindowSystemMenuHint));
    // Centred up to the frame, whose size the window system decides.
    const QRect desktop = form.screen()->availableGeometry();
    EXPECT_LE(std::abs(form.geometry().center().x() - desktop.center().x()), 4);
    EXPECT_LE(std::abs(form.geometry().center().y() - desktop.center().y()), 4);
    EXPECT_EQ(form.font().family(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(form.font().pixelSize(), 11);
}

TEST_F(FormLayout, PaneAndCheckBoxesStartAsSet) {
    EXPECT_TRUE(form.Memo1->isReadOnly());
    EXPECT_EQ(form.Memo1->lineWrapMode(), QPlainTextEdit::WidgetWidth);
    EXPECT_EQ(form.Memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(form.Memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
    EXPECT_EQ(form.Memo1->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(form.Memo1->font().pixelSize(), 13);
    EXPECT_TRUE(form.ChkShowRaw->isChecked());
    EXPECT_FALSE(form.ChkSpeccy->isChecked());
}

TEST_F(FormLayout, GridShowsTitlesWidthsAndOneBlankRowWhenEmpty) {
    struct Column {
        const char* title;
        int width;
    };
    const Column columns[] = {{"Offset", 56},     {"Type", 41},  {"Block Type Description", 170},
                              {"File Name", 101}, {"Start", 67}, {"Basic Length", 68},
                              {"Size", 66}};
    const QAbstractItemModel* model = Grid().model();
    ASSERT_EQ(model->columnCount(), 7);
    for (int column = 0; column < 7; ++column) {
        SCOPED_TRACE(columns[column].title);
        EXPECT_EQ(model->headerData(column, Qt::Horizontal).toString(),
                  QString::fromLatin1(columns[column].title));
        EXPECT_EQ(Grid().columnWidth(column), columns[column].width);
        EXPECT_EQ(model->headerData(column, Qt::Horizontal, Qt::TextAlignmentRole)
                          .value<Qt::Alignment>() &
                      Qt::AlignHorizontal_Mask,
                  Qt::AlignLeft);
    }
    EXPECT_EQ(model->rowCount(), 1);
    EXPECT_FALSE(model->index(0, 0).data().isValid());
    EXPECT_EQ(CurrentRow(), -1);
    EXPECT_EQ(Grid().editTriggers(), QAbstractItemView::NoEditTriggers);
    // Without the focus the selection is not highlighted; the indicator column marks the row.
    const QPalette colours = Grid().palette();
    EXPECT_EQ(colours.color(QPalette::Inactive, QPalette::Highlight),
              colours.color(QPalette::Inactive, QPalette::Base));
    EXPECT_FALSE(Grid().horizontalHeader()->sectionsMovable());
    EXPECT_EQ(Grid().horizontalHeader()->sectionResizeMode(0), QHeaderView::Fixed);
}

TEST_F(FormLayout, FocusStartsInTheGridAndTabFollowsTheTabOrder) {
    EXPECT_TRUE(Grid().hasFocus());
    const char* order[] = {"Button1", "ChkShowRaw", "Memo1", "ChkSpeccy", "RxDBGrid1"};
    for (const char* name : order) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        ASSERT_NE(QApplication::focusWidget(), nullptr);
        EXPECT_EQ(QApplication::focusWidget()->objectName(), QString::fromLatin1(name));
    }
}

// The room a control leaves for its caption, as its style lays it out.
int CaptionRoom(QWidget& control) {
    if (auto* box = qobject_cast<QCheckBox*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(box);
        option.text = box->text();
        return box->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, box).width();
    }
    if (auto* button = qobject_cast<QPushButton*>(&control)) {
        QStyleOptionButton option;
        option.initFrom(button);
        option.text = button->text();
        return button->style()
            ->subElementRect(QStyle::SE_PushButtonContents, &option, button)
            .width();
    }
    return control.contentsRect().width();
}

TEST_F(FormLayout, EveryCaptionFitsItsControlInTheFontItIsDrawnIn) {
    for (QWidget* control : form.findChildren<QWidget*>()) {
        QString caption;
        if (const auto* label = qobject_cast<QLabel*>(control)) caption = label->text();
        if (const auto* button = qobject_cast<QAbstractButton*>(control)) caption = button->text();
        if (caption.isEmpty()) continue;
        const QFontMetrics metrics(control->font());
        for (const QString& line : caption.split(QLatin1Char('\n'))) {
            EXPECT_LE(metrics.horizontalAdvance(line), CaptionRoom(*control))
                << control->objectName().toStdString() << ": \"" << line.toStdString() << "\" in "
                << QFontInfo(control->font()).family().toStdString();
        }
    }
    QHeaderView* titles = Grid().horizontalHeader();
    const int margins = 2 * titles->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, titles);
    const QFontMetrics metrics(titles->font());
    for (int column = 0; column < Grid().model()->columnCount(); ++column) {
        const QString title = Grid().model()->headerData(column, Qt::Horizontal).toString();
        EXPECT_LE(metrics.horizontalAdvance(title), titles->sectionSize(column) - margins)
            << "title \"" << title.toStdString() << "\" in "
            << QFontInfo(titles->font()).family().toStdString();
    }
}

}  // namespace
}  // namespace brisalto::testing
