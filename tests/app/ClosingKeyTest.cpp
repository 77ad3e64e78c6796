// SPDX-License-Identifier: GPL-3.0-or-later
#include <QAbstractButton>
#include <QCheckBox>
#include <QMessageBox>
#include <QTest>

#include <gtest/gtest.h>

#include <filesystem>

#include "CatalogueGrid.h"
#include "CatalogueModel.h"
#include "FormMain.h"
#include "ModalWatcher.h"
#include "QtFormDialogs.h"
#include "ScanTape.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

// Key events as the window system hands them to a window, autorepeat included.
void Key(QWidget& window, QEvent::Type type, Qt::Key key, bool autoRepeat = false) {
    qt_handleKeyEvent(window.windowHandle(), type, key, Qt::NoModifier, QString(), autoRepeat);
    QApplication::processEvents();
}

void Click(QWidget& window, Qt::Key key) {
    Key(window, QEvent::KeyPress, key);
    Key(window, QEvent::KeyRelease, key);
}

void CloseWith(QWidget& box, Qt::Key key) {
    Key(box, QEvent::KeyPress, key);  // the box ends on the way down
}

void PressOk(QWidget& box) {
    auto* message = qobject_cast<QMessageBox*>(&box);
    ASSERT_NE(message, nullptr);
    message->button(QMessageBox::Ok)->click();
}

// The window with its real message boxes, on a tape whose file has gone: every listing of the
// current row (a program's data) shows the failure display once.
class ClosingKeys : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        const Bytes program{0x00, 0x0A, 0x03, 0x00, 0xF5, 'a', 0x0D};
        tape_ = std::make_unique<TempTape>(
            TapeBuilder().ProgramHeader("p", 7, 10, 7).Data(program).Get());
        TapeFileName = TapeLocation(tape_->Path());
        // The scan without the open dialog, which other tests answer.
        form.DataSource1->BeginScan();
        ScanTape(tape_->Path(), true, form.TblTAPFiles);
        form.DataSource1->EndScan();
        form.DataSource1->MoveTo(1);
        form.RxDBGrid1->setFocus();
        std::filesystem::remove(tape_->Path());
    }

    QtFormDialogs real;
    TFormM form{real};
    std::unique_ptr<TempTape> tape_;
};

struct ClosingKeyCase {
    const char* what;
    ModalWatcher::Answer firstBox;
    std::function<void(TFormM&)> afterwards;
    int boxes;
};

TEST_F(ClosingKeys, OnlyTheReleaseOfTheKeyThatClosedAMessageBoxDoesNotList) {
    const ClosingKeyCase cases[] = {
        {"Enter closes the box", [](QWidget& box) { CloseWith(box, Qt::Key_Return); },
         [](TFormM& f) { Key(f, QEvent::KeyRelease, Qt::Key_Return); }, 1},
        {"Esc closes the box", [](QWidget& box) { CloseWith(box, Qt::Key_Escape); },
         [](TFormM& f) { Key(f, QEvent::KeyRelease, Qt::Key_Escape); }, 1},
        {"Enter closes the box and is held", [](QWidget& box) { CloseWith(box, Qt::Key_Return); },
         [](TFormM& f) {
             for (int repeat = 0; repeat < 3; ++repeat) {
                 Key(f, QEvent::KeyRelease, Qt::Key_Return, true);
                 Key(f, QEvent::KeyPress, Qt::Key_Return, true);
             }
             Key(f, QEvent::KeyRelease, Qt::Key_Return);
         },
         1},
        {"OK clicked, then Enter in the grid", PressOk, [](TFormM& f) { Click(f, Qt::Key_Return); },
         2},
        {"Enter closes the box, then Enter again in the grid",
         [](QWidget& box) { CloseWith(box, Qt::Key_Return); },
         [](TFormM& f) {
             Key(f, QEvent::KeyRelease, Qt::Key_Return);
             Click(f, Qt::Key_Return);
         },
         2},
        {"OK clicked, then Esc in the grid", PressOk, [](TFormM& f) { Click(f, Qt::Key_Escape); },
         2},
    };
    for (const ClosingKeyCase& c : cases) {
        SCOPED_TRACE(c.what);
        QApplication::setActiveWindow(&form);
        form.RxDBGrid1->setFocus();
        ASSERT_TRUE(form.RxDBGrid1->hasFocus());
        const ModalWatcher watcher({c.firstBox}, PressOk);
        Click(form, Qt::Key_Shift);  // lists, and fails
        ASSERT_EQ(watcher.Shown(), 1);
        c.afterwards(form);
        EXPECT_EQ(watcher.Shown(), c.boxes);
    }
}

TEST_F(ClosingKeys, TabIntoTheGridStillLists) {
    form.ChkSpeccy->setFocus();  // the control before the grid in tab order
    const ModalWatcher watcher({}, PressOk);
    Key(form, QEvent::KeyPress, Qt::Key_Tab);
    ASSERT_TRUE(form.RxDBGrid1->hasFocus());
    Key(form, QEvent::KeyRelease, Qt::Key_Tab);
    EXPECT_EQ(watcher.Shown(), 1);
}

}  // namespace
}  // namespace brisalto::testing
