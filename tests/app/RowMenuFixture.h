// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QTest>

#include <memory>

#include "FormFixture.h"
#include "MenuWatcher.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {

// Key events as the window system hands them to a window.
inline void SystemKey(QWidget& window, QEvent::Type type, Qt::Key key,
                      Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    qt_handleKeyEvent(window.windowHandle(), type, key, modifiers);
    QApplication::processEvents();
}

// Chooses the menu item captioned caption with the keys, as the user would: moved onto, then
// Enter pressed (the menu acts on the press; the release comes up wherever the focus is next).
inline void ChooseItem(QMenu& menu, const QString& caption) {
    for (QAction* action : menu.actions()) {
        if (QString(action->text()).remove('&') == caption) menu.setActiveAction(action);
    }
    SystemKey(menu, QEvent::KeyPress, Qt::Key_Return);
}

// Line 10: PRINT a.
inline const Bytes kPrintProgram{0x00, 0x0A, 0x03, 0x00, 0xF5, 'a', 0x0D};
inline const QString kPrintListing = QStringLiteral("  10  PRINT a");

// 6,144 bitmap bytes of 0xF0 (each group of eight pixels four INK, four PAPER) and 768
// attributes of INK 2 (red) on PAPER 1 (blue).
inline Bytes StripedScreen() {
    Bytes screen(6144, 0xF0);
    screen.resize(6912, 0x0A);
    return screen;
}

// A tape of a program, a loading screen and a code block, each a header and its data, opened in
// the window; dialogs answered by the recording fake.
class RowMenuFixture : public FormFixture {
protected:
    static constexpr int kProgramHeaderRow = 0, kProgramRow = 1, kScreenRow = 3, kCodeRow = 5;

    void SetUp() override {
        FormFixture::SetUp();
        tape_ = std::make_unique<TempTape>(TapeBuilder()
                                               .ProgramHeader("hello", 7, 10, 7)
                                               .Data(kPrintProgram)
                                               .Header(3, "loading", 6912, 16384)
                                               .Data(StripedScreen())
                                               .Header(3, "code", 4, 32768)
                                               .Data({1, 2, 3, 4})
                                               .Get(),
                                           "hello.tap");
        Open(tape_->Path());
        ASSERT_EQ(GridRows(), 6) << (dialogs.failures.empty()
                                         ? ""
                                         : dialogs.failures.back().toStdString());
    }

    // Right click on a row's cell, as the window system delivers it; the menu runs inside.
    void RightClick(int row) {
        const QPoint at = Grid().viewport()->mapTo(&form, CellCentre(row, 2));
        QTest::mouseClick(form.windowHandle(), Qt::RightButton, {}, at);
        QApplication::processEvents();
    }

    std::string Saved(const char* name) const { return tape_->Folder() + "/" + name; }

    std::unique_ptr<TempTape> tape_;
};

}  // namespace brisalto::testing
