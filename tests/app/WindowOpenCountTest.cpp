// SPDX-License-Identifier: GPL-3.0-or-later
// The window reads a tape with one open of its file, whatever the user then looks at: the
// listing, tooltips and every tab of the Block View are made from the tape it holds. A changed
// file is read again.
#include <QTabWidget>

#include "BlockView.h"
#include "OsFile.h"
#include "RowMenuFixture.h"
#include "TapeBuilder.h"

namespace brisalto::testing {
namespace {

class WindowOpenCount : public FormFixture {
protected:
    static Bytes Tape(std::uint8_t code) {
        return TapeBuilder()
            .ProgramHeader("hello", 7, 10, 7)
            .Data(kPrintProgram)
            .Header(3, "loading", 6912, 16384)
            .Data(StripedScreen())
            .Header(3, "code", 4, 32768)
            .Data({code, 2, 3, 4})
            .Get();
    }

    // Lists the program, hovers the screen and the code rows, and opens the Block View of
    // the screen with each of its tabs shown.
    void LookAtEverything() {
        form.DataSource1->MoveTo(1);
        form.RxDBGrid1CellClick();
        ASSERT_EQ(Pane(), kPrintListing);
        QAbstractItemModel& model = *form.RxDBGrid1->model();
        EXPECT_TRUE(model.index(3, 2).data(Qt::ToolTipRole).toString().contains("<img"));
        EXPECT_FALSE(model.index(5, 2).data(Qt::ToolTipRole).toString().isEmpty());
        form.DataSource1->MoveTo(3);
        form.RxDBGrid1ViewBlock();
        const QList<BlockView*> views = form.findChildren<BlockView*>();
        ASSERT_EQ(views.size(), 1);
        auto* tabs = views.front()->findChild<QTabWidget*>();
        ASSERT_NE(tabs, nullptr);
        EXPECT_GE(tabs->count(), 4);  // Hex, Disassembly, Details, Screen at least
        for (int tab = 0; tab < tabs->count(); ++tab) tabs->setCurrentIndex(tab);
        views.front()->close();
    }
};

TEST_F(WindowOpenCount, OpensTheTapeOnceForEveryView) {
    const TempTape tape(Tape(1), "hello.tap");
    const std::uint64_t before = OsFileOpens();
    Open(tape.Path());
    ASSERT_EQ(GridRows(), 6);
    LookAtEverything();
    EXPECT_EQ(OsFileOpens() - before, 1u);
    EXPECT_TRUE(dialogs.failures.empty());

    // Another length, so the stamp differs whatever the clock's grain: read again, once.
    tape.Rewrite(TapeBuilder().ProgramHeader("hello", 7, 10, 7).Data(kPrintProgram).Get());
    const std::uint64_t changed = OsFileOpens();
    form.DataSource1->MoveTo(1);
    form.RxDBGrid1CellClick();
    form.RxDBGrid1CellClick();
    EXPECT_EQ(Pane(), kPrintListing);
    EXPECT_EQ(OsFileOpens() - changed, 1u);
}

}  // namespace
}  // namespace brisalto::testing
