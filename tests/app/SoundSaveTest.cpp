// SPDX-License-Identifier: GPL-3.0-or-later
// The row menu's sound items through the real menu: the WAV file written whole from the row's
// block or of the whole tape, and no file after a cancel.
#include <QApplication>
#include <QMenu>
#include <QProgressDialog>
#include <QTimer>

#include <filesystem>

#include "RowMenuFixture.h"
#include "TapeDocument.h"
#include "TapeSoundBytes.h"
#include "TzxBuilder.h"
#include "WavSound.h"

namespace brisalto::testing {
namespace {

const QString kFromHere = QStringLiteral("Save Sound From Here\u2026");
const QString kWholeTape = QStringLiteral("Save Tape As Sound\u2026");

class SoundSave : public RowMenuFixture {
protected:
    void Choose(int row, const QString& caption, const std::string& path = {}) {
        if (!path.empty()) dialogs.saveAnswers.push_back(QString::fromStdString(path));
        const MenuWatcher watcher([&caption](QMenu& menu) { ChooseItem(menu, caption); });
        RightClick(row);
        ASSERT_EQ(watcher.Shown(), 1);
    }

    std::size_t FilesBesideTheTape() const {
        return static_cast<std::size_t>(
            std::distance(std::filesystem::directory_iterator(tape_->Folder()), {}));
    }
};

// The console numbers rows as the grid does with raw blocks shown: the code row is row 6.
TEST_F(SoundSave, FromTheRowsBlockOrTheWholeTape) {
    Choose(kCodeRow, kFromHere, Saved("code.wav"));
    ASSERT_EQ(dialogs.saves.size(), 1u);
    EXPECT_EQ(dialogs.saves.back().fileName, QStringLiteral("hello-from-6.wav"));
    EXPECT_EQ(dialogs.saves.back().filters.front(), QStringLiteral("WAV Sound Files (*.wav)"));
    const Bytes fromHere = ReadWholeFile(Saved("code.wav"));
    const WavSound expected(ReadTapeSoundBytes(brisalto::ReadTapeDocument(tape_->Path()), kCodeRow),
                            SoundFormat{});
    EXPECT_EQ(fromHere.size(), expected.FileBytes());
    EXPECT_EQ(Bytes(fromHere.begin(), fromHere.begin() + 4), (Bytes{'R', 'I', 'F', 'F'}));

    Choose(kCodeRow, kWholeTape, Saved("tape.wav"));
    EXPECT_EQ(dialogs.saves.back().fileName, QStringLiteral("hello.wav"));
    EXPECT_EQ(ReadWholeFile(Saved("tape.wav")).size(),
              WavSound(ReadTapeSoundBytes(brisalto::ReadTapeDocument(tape_->Path())), SoundFormat{})
                  .FileBytes());
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(SoundSave, NeitherTheTapeNorACancelledDialogIsWritten) {
    const Bytes before = ReadWholeFile(tape_->Path());
    Choose(kCodeRow, kWholeTape, tape_->Path());
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(ReadWholeFile(tape_->Path()), before);
    Choose(kCodeRow, kFromHere);
    EXPECT_EQ(FilesBesideTheTape(), 1u);
}

// A sound of 100 minutes takes longer than a moment to write: the progress dialog shows at once,
// and its Cancel leaves no file at all.
TEST_F(SoundSave, CancelInTheProgressDialogLeavesNoFile) {
    TzxBuilder tzx;
    tzx.Body(WithChecksum({0xFF, 1, 2, 3}));
    tzx.Raw({0x24, 5, 0, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0x25});  // five tones of 20 minutes
    const TempTape longTape(tzx.Get(), "long.tzx");
    Open(longTape.Path());
    // Cancel as soon as the dialog shows.
    bool cancelled = false;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&cancelled] {
        for (QWidget* widget : QApplication::allWidgets()) {
            auto* progress = qobject_cast<QProgressDialog*>(widget);
            if (progress != nullptr && progress->objectName() == QStringLiteral("SoundProgress") &&
                progress->isVisible() && !cancelled) {
                progress->cancel();
                cancelled = true;
            }
        }
    });
    watch.start(20);
    const std::string target = longTape.Folder() + "/long.wav";
    Choose(0, kWholeTape, target);
    EXPECT_TRUE(cancelled);
    EXPECT_FALSE(std::filesystem::exists(target));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(longTape.Folder()), {}), 1);
    EXPECT_TRUE(dialogs.failures.empty());
}

}  // namespace
}  // namespace brisalto::testing
