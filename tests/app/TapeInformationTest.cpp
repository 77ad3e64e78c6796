// The Tape Information dialog: what it says of a tape, read when it opens, and the real dialog
// reached through the real menu.
#include <QPlainTextEdit>

#include "ModalWatcher.h"
#include "QtFormDialogs.h"
#include "RowMenuFixture.h"
#include "TapeInformation.h"
#include "TapeInformationDialog.h"

namespace brisalto::testing {
namespace {

const QString kInformation = QStringLiteral("Tape Information\u2026");

class TapeInformationItem : public RowMenuFixture {
protected:
    void ChooseInformation() {
        const MenuWatcher watcher([](QMenu& menu) { ChooseItem(menu, kInformation); });
        RightClick(kProgramRow);
        ASSERT_EQ(watcher.Shown(), 1);
    }
};

TEST_F(TapeInformationItem, ReadsTheTapeAsItIsWhenItOpens) {
    ChooseInformation();
    tape_->Rewrite(TapeBuilder().Header(3, "other", 2, 0).Get());
    ChooseInformation();
    ASSERT_EQ(dialogs.information.size(), 2u);
    EXPECT_TRUE(dialogs.information[0].contains(QStringLiteral("Size: 6,998 bytes")))
        << dialogs.information[0].toStdString();
    EXPECT_TRUE(dialogs.information[1].contains(QStringLiteral("Size: 21 bytes")))
        << dialogs.information[1].toStdString();
}

// The window with its real dialogs: the menu chosen with the keys, the dialog closed with them.
class RealTapeInformation : public ::testing::Test {
protected:
    void SetUp() override {
        form.show();
        QApplication::setActiveWindow(&form);
        ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
        form.OpenTape(QString::fromStdString(tape_.Path()));
        ASSERT_EQ(form.TblTAPFiles.RowCount(), 2u);
    }

    const TempTape tape_{TapeBuilder().ProgramHeader("hello", 7, 10, 7).Data(kPrintProgram).Get()};
    QtFormDialogs real;
    TFormM form{real};
};

TEST_F(RealTapeInformation, ShowsItsTextToSelectAndTheKeyThatClosesItDoesNotList) {
    for (const Qt::Key closing : {Qt::Key_Escape, Qt::Key_Return}) {
        SCOPED_TRACE(closing == Qt::Key_Escape ? "Esc" : "Enter");
        QApplication::setActiveWindow(&form);
        form.DataSource1->MoveTo(1);
        form.RxDBGrid1->setFocus();
        form.Memo1->setPlainText(QStringLiteral("kept"));
        QString shown;
        const ModalWatcher dialogWatcher(
            {[&](QWidget& modal) {
                ASSERT_NE(qobject_cast<TapeInformationDialog*>(&modal), nullptr);
                const auto* text = modal.findChild<QPlainTextEdit*>();
                ASSERT_NE(text, nullptr);
                EXPECT_TRUE(text->isReadOnly());
                EXPECT_TRUE(text->textInteractionFlags().testFlag(Qt::TextSelectableByMouse));
                EXPECT_TRUE(text->textInteractionFlags().testFlag(Qt::TextSelectableByKeyboard));
                shown = text->toPlainText();
                SystemKey(modal, QEvent::KeyPress, closing);
            }},
            [](QWidget& modal) { modal.close(); });
        const MenuWatcher menuWatcher([](QMenu& menu) {
            SystemKey(menu, QEvent::KeyRelease, Qt::Key_Menu);
            ChooseItem(menu, kInformation);
        });
        SystemKey(form, QEvent::KeyPress, Qt::Key_Menu);
        EXPECT_EQ(dialogWatcher.Shown(), 1);
        EXPECT_EQ(shown, TapeInformationText(TapeFileName));
        SystemKey(form, QEvent::KeyRelease, closing);
        EXPECT_EQ(form.Memo1->toPlainText(), QStringLiteral("kept"));
        EXPECT_EQ(form.DataSource1->CurrentRow(), 1);
        // The window's focus; offscreen, no window becomes active again by itself.
        EXPECT_EQ(form.focusWidget(), form.RxDBGrid1);
    }
}

}  // namespace
}  // namespace brisalto::testing
