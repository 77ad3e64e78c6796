// SPDX-License-Identifier: GPL-3.0-or-later
#include <QFontInfo>

#include "FormFixture.h"
#include "TapeBuilder.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace brisalto::testing {
namespace {

using OpenTape = FormFixture;

constexpr int kOffset = 0, kTipo = 1, kTipoStr = 2, kName = 3, kSize = 6;

// A Program header "hello" (autostart 10, program length 80, data length 120) and its data.
Bytes HelloTape() {
    return TapeBuilder().ProgramHeader("hello", 120, 10, 80).Data(Bytes(120, 0x20)).Get();
}

RowIndicator Indicator(const QAbstractItemModel& model, int row) {
    return static_cast<RowIndicator>(
        model.headerData(row, Qt::Vertical, CatalogueModel::kIndicatorRole).toInt());
}

TEST_F(OpenTape, FillsTheGridWithTheFirstRowCurrentAndFocused) {
    const TempTape tape(HelloTape());
    form.Button1->setFocus();
    Open(tape.Path());

    EXPECT_EQ(TapeFileName.path, tape.Path());
    ASSERT_EQ(GridRows(), 2);
    const QStringList header{"2", "0", "Program", "hello     ", "10", "80", "120"};
    const QStringList data{"23", "255", "Raw Data", "", "", "80", "120"};
    for (int column = 0; column < 7; ++column) {
        EXPECT_EQ(Cell(0, column), header[column]) << "column " << column;
        EXPECT_EQ(Cell(1, column), data[column]) << "column " << column;
    }
    const auto alignment = [&](int column) {
        return Grid().model()->index(0, column).data(Qt::TextAlignmentRole).value<Qt::Alignment>() &
               Qt::AlignHorizontal_Mask;
    };
    EXPECT_EQ(alignment(kOffset), Qt::AlignRight);
    EXPECT_EQ(alignment(kSize), Qt::AlignRight);
    EXPECT_EQ(alignment(kTipoStr), Qt::AlignLeft);
    EXPECT_EQ(alignment(kName), Qt::AlignLeft);
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_TRUE(Grid().selectionModel()->isRowSelected(0, {}));
    EXPECT_EQ(Indicator(*Grid().model(), 0), RowIndicator::Current);
    EXPECT_TRUE(Grid().hasFocus());
    EXPECT_TRUE(dialogs.failures.empty());
    EXPECT_TRUE(dialogs.damaged.empty());
}

TEST_F(OpenTape, CancelLeavesGridFileNameAndPaneAsTheyWere) {
    const TempTape tape(HelloTape());
    Open(tape.Path());
    form.Memo1->setPlainText(QStringLiteral("last listing"));
    form.DataSource1->MoveTo(1);

    form.Button1Click();  // no answer queued: the dialog is cancelled

    EXPECT_EQ(GridRows(), 2);
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(TapeFileName.path, tape.Path());
    EXPECT_EQ(Pane(), QStringLiteral("last listing"));
}

TEST_F(OpenTape, DialogOffersStarDotTapFirstAndThenTheLastPath) {
    const TempTape tape(HelloTape());
    Open(tape.Path());
    form.Button1Click();
    ASSERT_EQ(dialogs.offeredFileNames.size(), 2u);
    EXPECT_EQ(dialogs.offeredFileNames[0], QStringLiteral("*.tap"));
    EXPECT_EQ(dialogs.offeredFileNames[1], QString::fromStdString(tape.Path()));
}

// The first use offers the entry of all tapes; later ones the entry of the file last chosen.
TEST_F(OpenTape, DialogReopensOnTheEntryOfTheLastFileChosen) {
    const TempTape tap(HelloTape(), "hello.tap");
    const TempTape tzx(TzxBuilder().FromTap(HelloTape()).Get(), "hello.TZX");
    const TempTape bare(HelloTape(), "hello");
    for (const TempTape* tape : {&tzx, &tap, &tzx, &bare}) Open(tape->Path());
    form.Button1Click();
    EXPECT_EQ(dialogs.offeredFilters,
              std::vector<QString>({kAllTapesFilter, "TZX Tape Files (*.tzx)",
                                    "Spectrum Tape Files (*.tap)", "TZX Tape Files (*.tzx)",
                                    "Spectrum Tape Files (*.tap)"}));
    ASSERT_EQ(GridRows(), 2);
    EXPECT_EQ(Cell(0, kOffset), "2");
}

TEST_F(OpenTape, DamagedTapeShowsItsMessageWithTheLastRowCurrentAndFocusKept) {
    TapeBuilder builder;
    for (int block = 0; block < 30; ++block) builder.Header(3, "code", 0, 0);
    builder.Raw({50, 0, 0x00, 3});  // announces 50 bytes, holds 2
    const TempTape tape(builder.Get());
    form.Button1->setFocus();
    Open(tape.Path());

    ASSERT_EQ(dialogs.damaged.size(), 1u);
    EXPECT_EQ(dialogs.damaged[0],
              QStringLiteral("Tape file is seriously corrupted. Cannot continue."));
    EXPECT_TRUE(dialogs.failures.empty());
    EXPECT_EQ(GridRows(), 30);
    EXPECT_EQ(CurrentRow(), 29);
    const int rowTop = Grid().rowViewportPosition(29);
    EXPECT_TRUE(rowTop >= 0 && rowTop < Grid().viewport()->height())
        << "last row scrolled into view";
    EXPECT_TRUE(form.Button1->hasFocus());
}

TEST_F(OpenTape, MissingFileShowsFileNotFoundAndAnEmptyGrid) {
    const TempTape tape(HelloTape());
    Open(tape.Path());
    const std::string missing = tape.Folder() + "/gone.tap";
    Open(missing);

    EXPECT_EQ(dialogs.failures, std::vector<QString>{QStringLiteral("File not found.")});
    EXPECT_EQ(TapeFileName.path, missing);
    EXPECT_EQ(GridRows(), 1);
    EXPECT_EQ(Cell(0, kTipoStr), QString());
    EXPECT_EQ(CurrentRow(), -1);
}

// A data block of length 1 makes Size -1: the row stays open, marked as being inserted.
class OpenRowLeftByAFailedScan : public FormFixture,
                                 public ::testing::WithParamInterface<Qt::Key> {};

TEST_P(OpenRowLeftByAFailedScan, IsShownAsInsertedUntilDiscardedOrPosted) {
    const TempTape tape(TapeBuilder().ProgramHeader("one", 1, 0, 7).Block({0xFF}).Get());
    Open(tape.Path());

    EXPECT_EQ(dialogs.failures,
              std::vector<QString>{QStringLiteral(
                  "-1 is not a valid value for field 'Size'. The allowed range is 0 to 65535.")});
    ASSERT_EQ(GridRows(), 2);
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Cell(1, kTipo), QStringLiteral("255"));
    EXPECT_EQ(Cell(1, kSize), QString());
    EXPECT_EQ(Indicator(*Grid().model(), 1), RowIndicator::Open);

    QTest::keyClick(&Grid(), GetParam());

    EXPECT_FALSE(form.TblTAPFiles.HasOpenRow());
    EXPECT_EQ(CurrentRow(), 0);
    EXPECT_EQ(Indicator(*Grid().model(), 0), RowIndicator::Current);
    // Esc discards the row; moving off it posts it with the values it holds.
    EXPECT_EQ(GridRows(), GetParam() == Qt::Key_Escape ? 1 : 2);
    if (GetParam() == Qt::Key_Up) {
        EXPECT_EQ(Indicator(*Grid().model(), 1), RowIndicator::None);
        EXPECT_EQ(Cell(1, kTipoStr), QStringLiteral("Raw Data"));
    }
}

INSTANTIATE_TEST_SUITE_P(EscOrUp, OpenRowLeftByAFailedScan,
                         ::testing::Values(Qt::Key_Escape, Qt::Key_Up));

TEST_F(OpenTape, ShowRawBlocksIsReadOnlyAtTheNextOpen) {
    const TempTape tape(HelloTape());
    Open(tape.Path());
    ASSERT_EQ(GridRows(), 2);

    form.ChkShowRaw->click();
    EXPECT_EQ(GridRows(), 2);

    Open(tape.Path());
    EXPECT_EQ(GridRows(), 1);
    EXPECT_EQ(Cell(0, kTipoStr), QStringLiteral("Program"));
}

TEST_F(OpenTape, NewScanKeepsThePane) {
    const TempTape tape(HelloTape());
    form.Memo1->setPlainText(QStringLiteral("earlier listing"));
    Open(tape.Path());
    EXPECT_EQ(Pane(), QStringLiteral("earlier listing"));
}

// The Spectrum's face at twice its 8-pixel cell, where every pixel of it stays sharp; with no
// font of that name installed, the built-in one stands in.
TEST_F(OpenTape, SpeccyFontSwitchesTheFaceAndItsSize) {
    form.Memo1->setPlainText(QStringLiteral("  10  PRINT a"));
    const QFont before = form.Memo1->font();
    form.ChkSpeccy->click();
    EXPECT_EQ(form.Memo1->font().family(), QStringLiteral("Zx Spectrum"));
    EXPECT_EQ(QFontInfo(form.Memo1->font()).family(), QStringLiteral("Brisalto Spectrum"));
    EXPECT_EQ(form.Memo1->font().pixelSize(), 16);
    EXPECT_EQ(form.Memo1->font().bold(), before.bold());
    form.ChkSpeccy->click();
    EXPECT_EQ(form.Memo1->font().family(), QStringLiteral("Courier New"));
    EXPECT_EQ(form.Memo1->font().pixelSize(), before.pixelSize());
    EXPECT_EQ(Pane(), QStringLiteral("  10  PRINT a"));
}

}  // namespace
}  // namespace brisalto::testing
