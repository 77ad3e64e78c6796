// SPDX-License-Identifier: GPL-3.0-or-later
// "Record From Sound Input…" on a sound input the test feeds: each block shown while the pause
// after it lasts, the inputs listed and the one chosen kept, and a recording not yet saved asked
// about before the window lets go of it.
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QTest>

#include <memory>

#include "FakeSoundInput.h"
#include "RecordDialog.h"
#include "RowMenuFixture.h"
#include "TapeRows.h"
#include "TapeText.h"

namespace brisalto::testing {
namespace {

// A program's header and data, and the sound of them.
class Recorder : public RowMenuFixture {
protected:
    void SetUp() override {
        RowMenuFixture::SetUp();
        played_ = std::make_unique<TempTape>(
            TapeBuilder().ProgramHeader("hello", 7, 10, 7).Data(kPrintProgram).Get(), "hello.tap");
        inputs_ = std::make_unique<FakeSoundInputs>(
            TapeSamples(played_->Path()),
            std::vector<SoundInputDevice>{{"line", "Line In"}, {"mic", "Microphone"}});
    }

    std::unique_ptr<TempTape> played_;
    std::unique_ptr<FakeSoundInputs> inputs_;
};

// With silence after the sound, the data block comes while the pause lasts, a moment after the
// sound ends, not at Stop (nor once the pause has outgrown a block's pause of 65 seconds).
TEST_F(Recorder, ShowsEachBlockWhileThePauseAfterItLasts) {
    RecordDialog recorder(form);
    recorder.show();
    const auto* blocks = recorder.findChild<QListWidget*>(QStringLiteral("Blocks"));
    ASSERT_NE(blocks, nullptr);
    double silenceBeforeData = -1;
    QObject::connect(blocks->model(), &QAbstractItemModel::rowsInserted, [&] {
        if (blocks->count() == 2) silenceBeforeData = inputs_->silence;
    });
    Press(recorder, QStringLiteral("&Record"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return silenceBeforeData >= 0; }, 30'000));
    EXPECT_LE(silenceBeforeData, 3.0);
    EXPECT_TRUE(blocks->item(1)->text().contains(QStringLiteral("data block, flag 255")))
        << blocks->item(1)->text().toStdString();
    const auto* state = recorder.findChild<QLabel*>(QStringLiteral("State"));
    EXPECT_TRUE(QTest::qWaitFor(
        [state] { return state->text().endsWith(QStringLiteral(", 2 data blocks")); }, 2000));
    Press(recorder, QStringLiteral("&Stop"));
}

TEST_F(Recorder, ListsTheSoundInputsAndRecordsFromTheOneChosenNextTimeToo) {
    {
        RecordDialog recorder(form);
        auto* inputs = recorder.findChild<QComboBox*>(QStringLiteral("Input"));
        ASSERT_NE(inputs, nullptr);
        ASSERT_EQ(inputs->count(), 3);
        EXPECT_EQ(inputs->itemText(0), QStringLiteral("Default sound input"));
        EXPECT_EQ(inputs->itemText(1), QStringLiteral("Line In"));
        EXPECT_EQ(inputs->itemText(2), QStringLiteral("Microphone"));
        inputs->setCurrentIndex(2);
        Press(recorder, QStringLiteral("&Record"));
        EXPECT_FALSE(inputs->isEnabled());
        Press(recorder, QStringLiteral("&Stop"));
    }
    RecordDialog again(form);
    EXPECT_EQ(again.findChild<QComboBox*>(QStringLiteral("Input"))->currentIndex(), 2);
    Press(again, QStringLiteral("&Record"));
    Press(again, QStringLiteral("&Stop"));
    EXPECT_EQ(inputs_->asked, (std::vector<QString>{QStringLiteral("mic"), QStringLiteral("mic")}));
}

// How the window would let go of the recording, and what the question is answered.
enum class Way { Close, OpenDialog, OpenPath, RecordAgain };
struct LettingGo {
    const char* name;
    Way way;
    UnsavedRecordingAnswer answer;
};

void PrintTo(const LettingGo& row, std::ostream* out) {
    *out << row.name;
}

class UnsavedRecording : public Recorder, public ::testing::WithParamInterface<LettingGo> {
protected:
    void SetUp() override {
        Recorder::SetUp();
        RecordThroughWindow(form);
        ASSERT_EQ(GridRows(), 2);
        ASSERT_EQ(Cell(0, 3), QStringLiteral("hello     "));
        other_ =
            std::make_unique<TempTape>(TapeBuilder().Header(3, "other", 2, 0).Get(), "other.tap");
    }
    // Goes the way; true when the window let go of the recording.
    bool Go(Way way) {
        switch (way) {
            case Way::Close: return form.close();
            case Way::OpenDialog: Open(other_->Path()); break;
            case Way::OpenPath: form.OpenTape(QString::fromStdString(other_->Path())); break;
            case Way::RecordAgain: RecordThroughWindow(form); return inputs_->asked.size() == 2;
        }
        return TapeFileName.path == other_->Path();
    }

    std::unique_ptr<TempTape> other_;
};

TEST_P(UnsavedRecording, AsksSaveDiscardOrCancel) {
    const LettingGo& row = GetParam();
    dialogs.recordingAnswers.push_back(row.answer);
    const std::string saved = played_->Folder() + "/saved.tzx";
    dialogs.saveAnswers.push_back(QString::fromStdString(saved));

    const bool wentOn = Go(row.way);

    EXPECT_EQ(dialogs.recordingQuestions, 1);
    EXPECT_EQ(wentOn, row.answer != UnsavedRecordingAnswer::Cancel);
    const bool save = row.answer == UnsavedRecordingAnswer::Save;
    ASSERT_EQ(dialogs.saves.size(), save ? 1u : 0u);
    if (save) {
        EXPECT_EQ(dialogs.saves[0].caption, QStringLiteral("Save Tape As"));
        CatalogueTable rows;
        ListRows(ReadTapeDocument(saved), true, rows);
        ASSERT_EQ(rows.RowCount(), 2u);
        EXPECT_EQ(TapeText(rows.Row(0).Name.View()), QStringLiteral("hello     "));
    }
    if (!wentOn) {
        // Cancel: everything as it was.
        EXPECT_TRUE(form.isVisible());
        ASSERT_EQ(GridRows(), 2);
        EXPECT_EQ(Cell(0, 3), QStringLiteral("hello     "));
    }
}

TEST_F(Recorder, ARecordingSavedThroughSaveTapeAsIsLetGoWithoutAQuestion) {
    RecordThroughWindow(form);
    ASSERT_EQ(GridRows(), 2);
    dialogs.saveAnswers.push_back(QString::fromStdString(played_->Folder() + "/kept.tzx"));
    const MenuWatcher watcher(
        [](QMenu& menu) { ChooseItem(menu, QStringLiteral("Save Tape As\u2026")); });
    RightClick(0);
    ASSERT_EQ(watcher.Shown(), 1);
    ASSERT_EQ(dialogs.saves.size(), 1u);

    EXPECT_TRUE(form.close());
    EXPECT_EQ(dialogs.recordingQuestions, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, UnsavedRecording,
    ::testing::Values(
        LettingGo{"CloseCancel", Way::Close, UnsavedRecordingAnswer::Cancel},
        LettingGo{"CloseDiscard", Way::Close, UnsavedRecordingAnswer::Discard},
        LettingGo{"CloseSave", Way::Close, UnsavedRecordingAnswer::Save},
        LettingGo{"OpenDialogCancel", Way::OpenDialog, UnsavedRecordingAnswer::Cancel},
        LettingGo{"OpenDialogSave", Way::OpenDialog, UnsavedRecordingAnswer::Save},
        LettingGo{"OpenPathDiscard", Way::OpenPath, UnsavedRecordingAnswer::Discard},
        LettingGo{"OpenPathCancel", Way::OpenPath, UnsavedRecordingAnswer::Cancel},
        LettingGo{"RecordAgainCancel", Way::RecordAgain, UnsavedRecordingAnswer::Cancel}),
    [](const auto& test) { return std::string(test.param.name); });

}  // namespace
}  // namespace brisalto::testing
