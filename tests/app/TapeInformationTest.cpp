// SPDX-License-Identifier: GPL-3.0-or-later
// The Tape Information dialog: what it says of a tape, read when it opens, and the real dialog
// reached through the real menu.
#include <QDir>
#include <QPlainTextEdit>

#include "ModalWatcher.h"
#include "QtFormDialogs.h"
#include "RowMenuFixture.h"
#include "TapeDocument.h"
#include "TapeInformation.h"
#include "TapeInformationDialog.h"
#include "TzxBuilder.h"

namespace brisalto::testing {
namespace {

const QString kInformation = QStringLiteral("Tape Information\u2026");

// The body with the checksum that makes its XOR 0 appended.
Bytes WithChecksum(Bytes body) {
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : body) sum ^= byte;
    body.push_back(sum);
    return body;
}

Bytes Text(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

Bytes ProgramHeaderBody() {
    Bytes body{0x00, 0x00};
    for (const char c : std::string("hello     ")) body.push_back(std::uint8_t(c));
    body.insert(body.end(), {7, 0, 10, 0, 7, 0});
    return WithChecksum(body);
}

TEST(TapeInformation, SumsUpATzxTapeAndWordsItsTexts) {
    // Archive information: the length of the rest, three fields (title, protection, comment).
    const Bytes archive = Concat({{0x32, 25, 0, 3, 0x00, 4},
                                  Text("Game"),
                                  {0x07, 5},
                                  Text("Speed"),
                                  {0xFF, 9},
                                  Text("line\rtwo\r")});
    const TempTape tape(TzxBuilder()
                            .Body(ProgramHeaderBody())
                            .Body({0xFF, 1, 2, 0x55})  // a wrong checksum
                            .Body(WithChecksum({0x42, 9}))
                            .Other(0x20)
                            .Raw({0x30, 5, 'n', 'o', 't', 'e', 's'})
                            .Raw({0x31, 0, 4, 'P', 'l', 'a', 'y'})
                            .Raw(archive)
                            .Raw({0x33, 3, 0x00, 0x01, 0x01, 0x03, 0x00, 0x03, 0x00, 0x40, 0x00})
                            .Get(),
                        "game.tzx");
    EXPECT_EQ(
        TapeInformationText(brisalto::ReadTapeDocument(tape.Path())).toStdString(),
        "Path: " + QDir::toNativeSeparators(QString::fromStdString(tape.Path())).toStdString() +
            "\n"
            "Size: 107 bytes\n"
            "Blocks: 1 header, 1 data, 1 never listed, 5 TZX blocks passed over\n"
            "Checksums: 1 of 2 checksums wrong, in row 2\n"
            "TZX version: 1.20\n"
            "\n"
            "Text description: notes\n"
            "Message: Play\n"
            "Archive information:\n"
            "  Title:      Game\n"
            "  Protection: Speed\n"
            "  Comment:    line\n"
            "              two\n"
            "Hardware information:\n"
            "  ZX Spectrum 48k, Plus: uses its special features\n"
            "  Classic AY hardware (compatible with 128k ZXs) (sound device): does not run with "
            "this device\n"
            "  ID 64 (computer): runs on this machine");
}

TEST(TapeInformation, SaysAllChecksumsAreRightOnATapFile) {
    const TempTape tape(
        TapeBuilder().Block(ProgramHeaderBody()).Block(WithChecksum({0xFF, 7})).Get());
    const QStringList lines =
        TapeInformationText(brisalto::ReadTapeDocument(tape.Path())).split('\n');
    ASSERT_EQ(lines.size(), 4);
    EXPECT_EQ(lines[1], QStringLiteral("Size: 26 bytes"));
    EXPECT_EQ(lines[2], QStringLiteral("Blocks: 1 header, 1 data, 0 never listed"));
    EXPECT_EQ(lines[3], QStringLiteral("Checksums: All 2 checksums are right"));
}

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
        EXPECT_EQ(shown, TapeInformationText(brisalto::ReadTapeDocument(TapeFileName)));
        SystemKey(form, QEvent::KeyRelease, closing);
        EXPECT_EQ(form.Memo1->toPlainText(), QStringLiteral("kept"));
        EXPECT_EQ(form.DataSource1->CurrentRow(), 1);
        // The window's focus; offscreen, no window becomes active again by itself.
        EXPECT_EQ(form.focusWidget(), form.RxDBGrid1);
    }
}

}  // namespace
}  // namespace brisalto::testing
