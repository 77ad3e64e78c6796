// SPDX-License-Identifier: GPL-3.0-or-later
// The row menu's copy and save items, chosen in the real menu, saving through the recording
// dialogs: what lands in the file, the names and folder offered, and the saves refused.
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QImage>

#include <filesystem>

#include "CatalogueTable.h"
#include "RowText.h"
#include "ScanTape.h"

#include "RowMenuFixture.h"

namespace brisalto::testing {
namespace {

class RowMenuSave : public RowMenuFixture {
protected:
    // Chooses caption in the menu of row; the save dialog answers path (nothing: cancelled).
    void Choose(int row, const QString& caption, const std::string& path = {}) {
        if (!path.empty()) dialogs.saveAnswers.push_back(QString::fromStdString(path));
        const MenuWatcher watcher([&caption](QMenu& menu) { ChooseItem(menu, caption); });
        RightClick(row);
        ASSERT_EQ(watcher.Shown(), 1);
    }
};

const QString kSaveBlock = QStringLiteral("Save Block As\u2026");

TEST_F(RowMenuSave, TheListingCopiedAndSavedIsThePanesText) {
    QTest::mouseClick(Grid().viewport(), Qt::LeftButton, {}, CellCentre(kProgramRow, 2));
    ASSERT_EQ(Pane(), kPrintListing);
    Choose(kProgramRow, QStringLiteral("Copy Listing"));
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Pane());

    Choose(kProgramRow, QStringLiteral("Save Listing As\u2026"), Saved("listing.txt"));
    ASSERT_EQ(dialogs.saves.size(), 1u);
    const SaveDialogSettings& offered = dialogs.saves.back();
    EXPECT_EQ(offered.fileName, QStringLiteral("hello.bas.txt"));
    EXPECT_EQ(QDir(offered.folder), QDir(QString::fromStdString(tape_->Folder())));
    EXPECT_EQ(offered.filters.front(), QStringLiteral("Text Files (*.txt)"));
    const Bytes saved = ReadWholeFile(Saved("listing.txt"));
    EXPECT_EQ(QString::fromUtf8(reinterpret_cast<const char*>(saved.data()),
                                static_cast<qsizetype>(saved.size())),
              Pane() + '\n');
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(RowMenuSave, TheScreenAsAPngOfItsPixelsOrAsItsBytes) {
    Choose(kScreenRow, QStringLiteral("Save Screen As\u2026"), Saved("screen.png"));
    EXPECT_EQ(dialogs.saves.back().fileName, QStringLiteral("loading.png"));
    const QImage png(QString::fromStdString(Saved("screen.png")), "PNG");
    ASSERT_EQ(png.size(), QSize(256, 192));
    for (int y = 0; y < 192; ++y) {
        for (int x = 0; x < 256; ++x) {
            const QRgb expected = x % 8 < 4 ? qRgb(0xD7, 0, 0) : qRgb(0, 0, 0xD7);
            ASSERT_EQ(png.pixel(x, y), expected) << x << "," << y;
        }
    }
    Choose(kScreenRow, QStringLiteral("Save Screen As\u2026"), Saved("screen.SCR"));
    EXPECT_EQ(ReadWholeFile(Saved("screen.SCR")), StripedScreen());
    EXPECT_TRUE(dialogs.failures.empty());
}

// A screen split as bitmap and attributes over two blocks is saved whole from either row.
TEST_F(RowMenuSave, ASplitScreenFromEitherOfItsRows) {
    const Bytes screen = StripedScreen();
    const TempTape split(TapeBuilder()
                             .Data(Bytes(screen.begin(), screen.begin() + 6144))
                             .Data(Bytes(screen.begin() + 6144, screen.end()))
                             .Get(),
                         "split.tap");
    Open(split.Path());
    ASSERT_EQ(GridRows(), 2);
    for (const int row : {0, 1}) {
        const std::string name = "split" + std::to_string(row) + ".scr";
        Choose(row, QStringLiteral("Save Screen As\u2026"), Saved(name.c_str()));
        EXPECT_EQ(ReadWholeFile(Saved(name.c_str())), screen) << row;
    }
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(RowMenuSave, ABlockAsItsDataOrAsAOneBlockTapThatScansBackToTheSameRow) {
    Choose(kCodeRow, kSaveBlock, Saved("code.bin"));
    EXPECT_EQ(dialogs.saves.back().fileName, QStringLiteral("code-32768.bin"));
    EXPECT_EQ(ReadWholeFile(Saved("code.bin")), (Bytes{1, 2, 3, 4}));

    Choose(kProgramHeaderRow, kSaveBlock, Saved("header.tap"));
    EXPECT_EQ(dialogs.saves.back().fileName, QStringLiteral("hello-header.bin"));
    CatalogueTable scanned;
    ASSERT_EQ(ScanTape(Saved("header.tap"), true, scanned), ScanResult::Completed);
    ASSERT_EQ(scanned.RowCount(), 1u);
    CatalogueRow original = form.TblTAPFiles.Row(kProgramHeaderRow);
    EXPECT_EQ(original.Position, 2u);  // the first block: the saved block's place too
    EXPECT_EQ(RowText(scanned.Row(0)), RowText(original));
    EXPECT_EQ(scanned.Row(0).Length, original.Length);
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(RowMenuSave, ABlockWithoutAHeaderIsNamedAfterTheTapeAndItsRow) {
    const TempTape game(TapeBuilder().Data({7}).Header(3, " <a:b>.", 1, 0).Get(), "game.tap");
    Open(game.Path());
    Choose(0, kSaveBlock);
    Choose(1, kSaveBlock);
    ASSERT_EQ(dialogs.saves.size(), 2u);
    EXPECT_EQ(dialogs.saves[0].fileName, QStringLiteral("game-1.bin"));
    EXPECT_EQ(dialogs.saves[1].fileName, QStringLiteral("_a_b_-header.bin"));
}

TEST_F(RowMenuSave, NothingIsWrittenWhenTheDialogIsCancelled) {
    Choose(kCodeRow, kSaveBlock);
    EXPECT_EQ(dialogs.saves.size(), 1u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(tape_->Folder()), {}), 1);
}

TEST_F(RowMenuSave, TheOpenTapeIsNeverWrittenOverByAnyOfItsPaths) {
    const Bytes before = ReadWholeFile(tape_->Path());
    const std::string folder = std::filesystem::path(tape_->Folder()).filename().string();
    const std::string roundabout = tape_->Folder() + "/../" + folder + "/hello.tap";
    for (const std::string& path : {tape_->Path(), roundabout}) {
        Choose(kCodeRow, kSaveBlock, path);
        ASSERT_EQ(dialogs.failures.size(), 1u) << path;
        EXPECT_TRUE(dialogs.failures.back().contains(
            QStringLiteral("is the tape that is open; it cannot be written over.")))
            << dialogs.failures.back().toStdString();
        dialogs.failures.clear();
    }
    EXPECT_EQ(ReadWholeFile(tape_->Path()), before);
}

TEST_F(RowMenuSave, AFailureToWriteShowsTheSystemsReason) {
    const QString target = QString::fromStdString(tape_->Folder() + "/missing/code.bin");
    QFile plain(target);
    ASSERT_FALSE(plain.open(QIODevice::WriteOnly));
    Choose(kCodeRow, kSaveBlock, target.toStdString());
    ASSERT_EQ(dialogs.failures.size(), 1u);
    // The failure display ends the text with a period unless the system's reason has one.
    QString expected = QStringLiteral("Cannot save %1: %2")
                           .arg(QDir::toNativeSeparators(target), plain.errorString());
    if (!expected.endsWith('.')) expected += '.';
    EXPECT_EQ(dialogs.failures.back().toStdString(), expected.toStdString());
}

}  // namespace
}  // namespace brisalto::testing
