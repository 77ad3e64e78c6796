// SPDX-License-Identifier: GPL-3.0-or-later
// The Block View through the real window: opened by the row menu and by F3, with the tabs that
// apply to the row and the block's own bytes in them.
#include <QAbstractItemModelTester>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScrollBar>
#include <QScreen>
#include <QSpinBox>
#include <QTabWidget>
#include <QTextCursor>
#include <QWindow>

#include <filesystem>

#include "AddressField.h"
#include "BlockView.h"
#include "ZxFont.h"
#include "RowMenuFixture.h"
#include "TzxBuilder.h"

namespace brisalto::testing {
namespace {

// Line 10: PRINT 1, its number hiding the value 5; then the variable a = 5 (a small integer) and
// the end mark.
const Bytes kProgramAndVariables{0x00, 0x0A, 0x09, 0x00, 0xF5, '1',  0x0E, 0x00, 0x00, 0x05,
                                 0x00, 0x00, 0x0D, 0x61, 0x00, 0x00, 0x05, 0x00, 0x00, 0x80};

class BlockViewWindow : public RowMenuFixture {
protected:
    // A program whose variable a holds value, and a Bytes block of four bytes at 32768.
    static Bytes Tape(std::uint8_t value) {
        Bytes program = kProgramAndVariables;
        program[16] = value;
        return TapeBuilder()
            .ProgramHeader("vars", 20, 10, 13)
            .Data(program)
            .Header(3, "code", 4, 32768)
            .Data({1, 2, 3, 4})
            .Get();
    }

    void PressF3() {
        Grid().setFocus();
        SystemKey(form, QEvent::KeyPress, Qt::Key_F3);
        SystemKey(form, QEvent::KeyRelease, Qt::Key_F3);
    }

    void SetUp() override {
        RowMenuFixture::SetUp();
        tape_ = std::make_unique<TempTape>(Tape(5), "vars.tap");
        Open(tape_->Path());
        ASSERT_EQ(GridRows(), 4);
    }

    QList<BlockView*> Views() const { return form.findChildren<BlockView*>(); }

    // The view of row, opened by F3.
    BlockView& ViewOf(int row) {
        form.DataSource1->MoveTo(row);
        const QList<BlockView*> before = Views();
        PressF3();
        for (BlockView* view : Views()) {
            if (!before.contains(view)) return *view;
        }
        ADD_FAILURE() << "no view of row " << row;
        return *Views().back();
    }

    static std::string Shown(const QRect& rect) {
        return QStringLiteral("%1,%2 %3x%4")
            .arg(rect.x())
            .arg(rect.y())
            .arg(rect.width())
            .arg(rect.height())
            .toStdString();
    }

    // The grid as it lies on the screen.
    QRect GridOnScreen() {
        return {Grid().mapToGlobal(QPoint(0, 0)), Grid().size()};
    }

    // Types text into a "Go to address" box and presses Enter, as the user would.
    static void GoTo(QWidget& field, const QString& text) {
        auto* edit = field.findChild<QSpinBox*>()->findChild<QLineEdit*>();
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        QTest::keyClick(edit, Qt::Key_Return);
    }

    static QStringList Tabs(BlockView& view) {
        const auto* tabs = view.findChild<QTabWidget*>();
        QStringList titles;
        for (int tab = 0; tab < tabs->count(); ++tab) titles.push_back(tabs->tabText(tab));
        return titles;
    }

    // The text of a pane, its tab shown first: the view fills a tab when it is first shown.
    static QString Text(BlockView& view, const QString& tab) {
        auto* edit = view.findChild<QPlainTextEdit*>(tab);
        auto* tabs = view.findChild<QTabWidget*>();
        for (QWidget* page = edit; page != nullptr; page = page->parentWidget()) {
            if (tabs->indexOf(page) >= 0) tabs->setCurrentWidget(page);
        }
        return edit != nullptr ? edit->toPlainText() : QStringLiteral("(no %1 text)").arg(tab);
    }
};

TEST_F(BlockViewWindow, TheMenuAndF3OpenAWindowOfTheRowsViewsEachOfItsOwn) {
    const struct {
        const char* what;
        int row;
        bool byMenu;
        QStringList tabs;
        QString firstBytes;  // the hex view's line after its heading
        QString checked;     // a tab's text and a line it holds
        QString line;
    } cases[] = {
        {"program by the menu",
         1,
         true,
         {"Hex", "Disassembly", "BASIC", "Variables", "Details"},
         "0000 [FF]00 0A 09 00 F5 31 0E 00 00 05 00 00 0D 61 00  ......1.......a.",
         "Variables",
         "a = 5"},
        {"program by F3",
         1,
         false,
         {"Hex", "Disassembly", "BASIC", "Variables", "Details"},
         "0000 [FF]00 0A 09 00 F5 31 0E 00 00 05 00 00 0D 61 00  ......1.......a.",
         "BASIC",
         "Line 10: 1 hides the value 5"},
        {"code by F3",
         3,
         false,
         {"Hex", "Disassembly", "Details"},
         // The Bytes block's load address beside the first data byte.
         "0000  8000 [FF]01 02 03 04[FB]                               ......",
         "Disassembly",
         "8000  01 02 03     LD BC,#0302"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const QStringList& tabs = c.tabs;
        const qsizetype before = Views().size();
        form.DataSource1->MoveTo(c.row);
        if (c.byMenu) {
            const MenuWatcher watcher(
                [](QMenu& menu) { ChooseItem(menu, QStringLiteral("View Block\u2026")); });
            RightClick(c.row);
        } else {
            PressF3();
        }
        ASSERT_EQ(Views().size(), before + 1)
            << (dialogs.failures.empty() ? "" : dialogs.failures.back().toStdString());
        BlockView& view = *Views().back();
        EXPECT_TRUE(view.isVisible());
        EXPECT_FALSE(view.isModal());
        EXPECT_EQ(Tabs(view), tabs);
        const QStringList hex = Text(view, QStringLiteral("Hex")).split('\n');
        ASSERT_GE(hex.size(), 2);
        EXPECT_EQ(hex[1].toStdString(), c.firstBytes.toStdString());
        EXPECT_TRUE(Text(view, c.checked).split('\n').contains(c.line))
            << Text(view, c.checked).toStdString();
    }
}

// The main window's grid stays in sight and the main window can go above the views: each opens
// as a window of its own beside it, or (on this small screen) below its grid; a view opened after
// another is a step further on, also when one before it was closed. Each names its row and tape.
TEST_F(BlockViewWindow, ViewsOpenClearOfTheGridEachAStepOnFromTheLast) {
    BlockView& first = ViewOf(1);
    const QPointer<BlockView> second = &ViewOf(3);
    EXPECT_EQ(first.windowTitle(), QStringLiteral("Block View: row 2 of vars.tap"));
    EXPECT_EQ(second->windowTitle(), QStringLiteral("Block View: row 4 of vars.tap"));
    const QRect screen = form.screen()->availableGeometry();
    for (BlockView* view : {&first, second.data()}) {
        EXPECT_EQ(view->windowType(), Qt::Window);
        EXPECT_EQ(view->windowHandle()->transientParent(), nullptr);
        EXPECT_FALSE(view->frameGeometry().intersects(GridOnScreen()))
            << Shown(view->frameGeometry()) << " over the grid at " << Shown(GridOnScreen());
        EXPECT_TRUE(screen.contains(view->frameGeometry())) << Shown(view->frameGeometry());
    }
    EXPECT_GT(second->x(), first.x());
    EXPECT_GT(second->y(), first.y());
    const QPoint firstPlace = first.pos();
    first.close();
    BlockView& third = ViewOf(1);
    EXPECT_EQ(third.pos(), firstPlace);
    EXPECT_NE(third.pos(), second->pos());
}

// Views show the blocks of the tape they were opened on: another tape read in closes them, a
// cancelled open dialog does not.
TEST_F(BlockViewWindow, ViewsCloseWhenAnotherTapeIsOpened) {
    const QPointer<BlockView> program = &ViewOf(1);
    const QPointer<BlockView> code = &ViewOf(3);
    form.Button1Click();  // cancelled
    EXPECT_TRUE(program->isVisible() && code->isVisible());
    const TempTape other(TapeBuilder().Header(3, "other", 1, 16384).Data({7}).Get(), "other.tap");
    Open(other.Path());
    EXPECT_FALSE(program && program->isVisible());
    EXPECT_FALSE(code && code->isVisible());
    EXPECT_TRUE(QTest::qWaitFor([&] { return program.isNull() && code.isNull(); }, 2000));
}

// "Use Zx Spectrum Font" restyles the views open as it does the listing pane, every text pane.
TEST_F(BlockViewWindow, TheFontBoxRestylesTheViewsOpen) {
    BlockView& view = ViewOf(1);
    for (const bool speccy : {true, false}) {
        SCOPED_TRACE(speccy);
        form.ChkSpeccy->click();
        const QString family = speccy ? kSpeccyFont : QStringLiteral("Courier New");
        ASSERT_EQ(form.Memo1->font().family(), family);
        for (const char* pane : {"Hex", "BASIC", "Variables", "DetailsFields", "DetailsHex"}) {
            const auto* edit = view.findChild<QPlainTextEdit*>(QString::fromLatin1(pane));
            ASSERT_NE(edit, nullptr) << pane;
            EXPECT_EQ(edit->font().family(), family) << pane;
            EXPECT_EQ(edit->font().pixelSize(), form.Memo1->font().pixelSize()) << pane;
        }
    }
}

#ifdef BRISALTO_DISASSEMBLY
// "Go to address" starts a Bytes block's disassembly at an address in it, typed in decimal or
// in hex after 0x, # or $; an address outside the block is not taken. The Details tab's
// disassembly has the same field, its block taken to load at the address.
TEST_F(BlockViewWindow, GoToAddressStartsTheDisassemblyThere) {
    BlockView& view = ViewOf(3);  // 1, 2, 3, 4 at 32768
    ASSERT_TRUE(Text(view, QStringLiteral("Disassembly")).startsWith(QStringLiteral("8000  01")));
    auto* field = view.findChild<AddressField*>(QStringLiteral("DisassemblyAddress"));
    ASSERT_NE(field, nullptr);
    const struct {
        const char* typed;
        const char* firstLine;  // its start
    } cases[] = {
        {"0x8001", "8001  02 "}, {"32770", "8002  03 "}, {"#8003", "8003  04 "},
        {"$8000", "8000  01 "},  {"0x8004", "8000  01 "}, {"0x7FFF", "8000  01 "},
        {"8003", "8000  01 "},  // decimal 8003: not in the block
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed);
        GoTo(*field, QString::fromLatin1(c.typed));
        const QString text = view.findChild<QPlainTextEdit*>(QStringLiteral("Disassembly"))->toPlainText();
        EXPECT_TRUE(text.startsWith(QString::fromLatin1(c.firstLine))) << text.toStdString();
    }

    auto* details = view.findChild<AddressField*>(QStringLiteral("DetailsAddress"));
    ASSERT_NE(details, nullptr);
    Text(view, QStringLiteral("DetailsDisassembly"));  // its tab shown
    GoTo(*details, QStringLiteral("0x4000"));
    EXPECT_TRUE(Text(view, QStringLiteral("DetailsDisassembly"))
                    .startsWith(QStringLiteral("4000  01 02 03")));
}
#endif

// The Details tab lists every block, the grid's and the others, the row's marked and selected;
// choosing a turbo block of a flag the grid never lists shows its own bytes.
// Line 10: PRINT "A", then INK 2 and "B" inside the string: the BASIC tab lists B in red ink on
// white paper, and what comes before it in the pane's own colours.
TEST_F(BlockViewWindow, TheBasicTabListsTheTextAfterAnInkCodeInThatInk) {
    const Bytes program{0x00, 0x0A, 0x08, 0x00, 0xF5, '"', 'A', 0x10, 0x02, 'B', '"', 0x0D};
    const TempTape tape(TapeBuilder().ProgramHeader("ink", 12, 10, 12).Data(program).Get(),
                        "ink.tap");
    Open(tape.Path());
    ASSERT_EQ(GridRows(), 2);
    form.DataSource1->MoveTo(1);
    PressF3();
    ASSERT_EQ(Views().size(), 1);
    const QString text = Text(*Views().back(), QStringLiteral("BASIC"));
    ASSERT_TRUE(text.startsWith(QStringLiteral("  10 PRINT \"AB\""))) << text.toStdString();
    const auto* edit = Views().back()->findChild<QPlainTextEdit*>(QStringLiteral("BASIC"));
    const auto formatAt = [edit](int position) {
        QTextCursor cursor(edit->document());
        cursor.setPosition(position + 1);  // the format of the character before the cursor
        return cursor.charFormat();
    };
    const int b = static_cast<int>(text.indexOf('B'));
    EXPECT_EQ(formatAt(b).foreground().color(), QColor(0xD7, 0x00, 0x00));
    EXPECT_EQ(formatAt(b).background().color(), QColor(0xD7, 0xD7, 0xD7));
    EXPECT_FALSE(formatAt(b - 1).hasProperty(QTextFormat::ForegroundBrush));
}

TEST_F(BlockViewWindow, TheDetailsTabListsEveryBlockAndShowsAnUnlistedBlocksBytes) {
    const TempTape tzx(
        TzxBuilder().FromTap(Tape(5)).Body({0x55, 1, 2, 0x56}, 0x11).Other(0x20).Get(),
        "turbo.tzx");
    Open(tzx.Path());
    ASSERT_EQ(GridRows(), 4);
    form.DataSource1->MoveTo(3);
    PressF3();
    ASSERT_EQ(Views().size(), 1);
    auto* blocks = Views().back()->findChild<QListView*>(QStringLiteral("DetailsBlocks"));
    ASSERT_NE(blocks, nullptr);
    const QAbstractItemModelTester tester(blocks->model());
    QStringList listed;
    for (int item = 0; item < blocks->model()->rowCount(); ++item)
        listed.push_back(blocks->model()->index(item, 0).data().toString());
    EXPECT_EQ(listed, QStringList({"Block 1: 0x10 Standard speed data (row 1)",
                                   "Block 2: 0x10 Standard speed data (row 2)",
                                   "Block 3: 0x10 Standard speed data (row 3)",
                                   "\u25B6 Block 4: 0x10 Standard speed data (row 4)",
                                   "Block 5: 0x11 Turbo speed data", "Block 6: 0x20 Pause"}));
    EXPECT_EQ(blocks->currentIndex().row(), 3);
    blocks->setCurrentIndex(blocks->model()->index(4, 0));
    const QStringList hex = Text(*Views().back(), QStringLiteral("DetailsHex")).split('\n');
    ASSERT_GE(hex.size(), 2);
    EXPECT_TRUE(hex[1].startsWith(QStringLiteral("0000 [55]01 02[56]"))) << hex[1].toStdString();
    EXPECT_TRUE(Text(*Views().back(), QStringLiteral("DetailsFields"))
                    .contains(QStringLiteral("Pilot pulse: 2168 T-states")));
}

// The Details tab's fields show whole in the view as it opens (here below the grid of the small
// offscreen screen), for a standard block and for a turbo block's many timings.
TEST_F(BlockViewWindow, TheDetailsFieldsShowWholeAsTheViewOpens) {
    const TempTape tzx(TzxBuilder().FromTap(Tape(5)).Body({0x55, 1, 2, 0x56}, 0x11).Get(),
                       "turbo.tzx");
    Open(tzx.Path());
    BlockView& view = ViewOf(3);
    auto* blocks = view.findChild<QListView*>(QStringLiteral("DetailsBlocks"));
    auto* fields = view.findChild<QPlainTextEdit*>(QStringLiteral("DetailsFields"));
    ASSERT_TRUE(blocks != nullptr && fields != nullptr);
    for (const int block : {3, 4}) {
        SCOPED_TRACE(block);
        blocks->setCurrentIndex(blocks->model()->index(block, 0));
        const QStringList lines = Text(view, QStringLiteral("DetailsFields")).split('\n');
        QApplication::processEvents();
        EXPECT_EQ(fields->verticalScrollBar()->maximum(), 0)
            << lines.size() << " lines in a pane " << fields->height() << " high";
        EXPECT_EQ(fields->horizontalScrollBar()->maximum(), 0);
    }
}

// The bytes are read when the window opens: a tape changed or gone since the scan goes to the
// window's one failure display, and no Block View opens.
TEST_F(BlockViewWindow, ATapeChangedOrGoneIsAFailureShownAndNoWindow) {
    const struct {
        const char* what;
        void (*spoil)(const TempTape&);
    } cases[] = {
        {"changed", [](const TempTape& tape) { tape.Rewrite(Tape(6)); }},
        {"gone", [](const TempTape& tape) { std::filesystem::remove(tape.Path()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        c.spoil(*tape_);
        const std::size_t failures = dialogs.failures.size();
        form.DataSource1->MoveTo(1);
        Grid().setFocus();
        // The view opens on the press; the release lists the row, which a gone tape fails too.
        SystemKey(form, QEvent::KeyPress, Qt::Key_F3);
        EXPECT_EQ(dialogs.failures.size(), failures + 1);
        EXPECT_TRUE(Views().empty());
        SystemKey(form, QEvent::KeyRelease, Qt::Key_F3);
    }
}

// The top left pixel set, in BRIGHT yellow INK on black PAPER; the rest black.
Bytes ScreenData() {
    Bytes screen(6912, 0);
    screen[0] = 0x80;
    screen[0x1800] = 0x40 | 0x06;
    return screen;
}

Bytes WithFlag(std::uint8_t flag, const Bytes& data) {
    Bytes body{flag};
    body.insert(body.end(), data.begin(), data.end());
    return WithChecksum(body);
}

// A turbo-loaded screen under flag 0 (a header row to the grid), then a screen split in a bitmap
// block and an attributes block with a tone between them: rows 0, 1 and 2.
TEST_F(BlockViewWindow, TheScreenTabShowsThePictureAtTheSizeChosen) {
    const Bytes screen = ScreenData();
    const Bytes bitmap(screen.begin(), screen.begin() + 6144);
    const Bytes attributes(screen.begin() + 6144, screen.end());
    tape_ = std::make_unique<TempTape>(TzxBuilder()
                                           .Body(WithFlag(0x00, screen), 0x11)
                                           .Body(WithFlag(0xFF, bitmap))
                                           .Other(0x12)
                                           .Body(WithFlag(0xFF, attributes))
                                           .Get(),
                                       "screens.tzx");
    Open(tape_->Path());
    ASSERT_EQ(GridRows(), 3);
    const struct {
        int row;
        int scale;  // chosen in the list; 0 leaves the first one, 2x
    } cases[] = {{0, 3}, {1, 0}, {2, 1}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.row);
        form.DataSource1->MoveTo(c.row);
        PressF3();
        ASSERT_FALSE(Views().empty());
        BlockView& view = *Views().back();
        EXPECT_EQ(Tabs(view).back(), QStringLiteral("Screen"));
        auto* scale = view.findChild<QComboBox*>(QStringLiteral("ScreenScale"));
        const auto* picture = view.findChild<QLabel*>(QStringLiteral("ScreenPicture"));
        ASSERT_TRUE(scale != nullptr && picture != nullptr);
        if (c.scale != 0) scale->setCurrentIndex(scale->findData(c.scale));
        const int size = c.scale != 0 ? c.scale : 2;
        EXPECT_EQ(scale->currentText(), QStringLiteral("%1\u00D7").arg(size));
        const QImage image = picture->pixmap().toImage();
        ASSERT_EQ(image.size(), QSize(256 * size, 192 * size));
        // The set pixel is a yellow square of size x size; beside and below it black.
        EXPECT_EQ(image.pixel(size - 1, size - 1), qRgb(0xFF, 0xFF, 0x00));
        EXPECT_EQ(image.pixel(0, 0), qRgb(0xFF, 0xFF, 0x00));
        EXPECT_EQ(image.pixel(size, 0), qRgb(0, 0, 0));
        EXPECT_EQ(image.pixel(0, size), qRgb(0, 0, 0));
        view.close();
    }
}

}  // namespace
}  // namespace brisalto::testing
