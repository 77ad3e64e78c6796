// SPDX-License-Identifier: GPL-3.0-or-later
// A recording opens as a tape in the window: its rows fill the grid, and a long one shows its
// progress with Cancel, which leaves the window as it was before and tells nothing.
#include <QProgressDialog>
#include <QSignalSpy>

#include "FormFixture.h"
#include "ModalWatcher.h"
#include "OsFile.h"
#include "PzxBuilder.h"
#include "RecordingProgressDialog.h"
#include "RowMenuFixture.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

using OpenRecording = FormFixture;

// The progress shows at its first report: how fast a machine decodes is no part of the test.
struct ProgressAtOnce {
    ProgressAtOnce() { RecordingProgressDialog::SetShowAfter(0); }
    ~ProgressAtOnce() { RecordingProgressDialog::SetShowAfter(500); }
    ProgressAtOnce(const ProgressAtOnce&) = delete;
    ProgressAtOnce& operator=(const ProgressAtOnce&) = delete;
};

TEST_F(OpenRecording, FillsTheGridWithTheBlocksItHolds) {
    const TempTape recording(
        RomPzx(TapeBuilder().ProgramHeader("hello", 120, 10, 80).Data(Bytes(120, 0x20)).Get()),
        "side a.pzx");
    const std::uint64_t before = OsFileOpens();
    Open(recording.Path());

    EXPECT_EQ(OsFileOpens() - before, 1u);  // the look at the file and its decoding share it
    EXPECT_EQ(TapeFileName.path, recording.Path());
    ASSERT_EQ(GridRows(), 2);
    EXPECT_EQ(Cell(0, 2), QStringLiteral("Program"));
    EXPECT_EQ(Cell(0, 3), QStringLiteral("hello     "));
    EXPECT_EQ(Cell(1, 2), QStringLiteral("Raw Data"));
    EXPECT_EQ(Cell(1, 6), QStringLiteral("120"));
    EXPECT_TRUE(dialogs.failures.empty());
    EXPECT_TRUE(dialogs.damaged.empty());
}

TEST_F(OpenRecording, ALongOneShowsItsProgressAndCancelLeavesTheWindowAsItWas) {
    const ProgressAtOnce atOnce;
    const TempTape first(TapeBuilder().ProgramHeader("first", 7, 10, 7).Data(kPrintProgram).Get(),
                         "first.tap");
    Open(first.Path());
    ASSERT_EQ(GridRows(), 2);
    form.DataSource1->MoveTo(1);
    form.RxDBGrid1CellClick();
    ASSERT_EQ(Pane(), kPrintListing);
    const QString remembered = form.OpenDialog1.fileName;

    // Sound to decode, not data read as it is: 40 million pulses in 3.2 MB, about five seconds
    // of decoding in a debug build, and the progress shows after half of one.
    const TempTape recording(TonePzx(40'000'000, 1000), "long.pzx");
    bool cancelled = false;
    ModalWatcher watcher({}, [&cancelled](QWidget& modal) {
        if (auto* progress = qobject_cast<QProgressDialog*>(&modal)) {
            progress->cancel();
            cancelled = true;
        }
    });
    const QSignalSpy resets(form.DataSource1.get(), &QAbstractItemModel::modelAboutToBeReset);
    Open(recording.Path());

    EXPECT_TRUE(cancelled);
    EXPECT_EQ(resets.count(), 0);
    EXPECT_EQ(TapeFileName.path, first.Path());
    EXPECT_EQ(form.OpenDialog1.fileName, remembered);
    ASSERT_EQ(GridRows(), 2);
    EXPECT_EQ(Cell(0, 3), QStringLiteral("first     "));
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Pane(), kPrintListing);
    EXPECT_TRUE(dialogs.failures.empty());
}

// The blocks found before a long tone are rows in the grid while the rest decodes, the progress
// shown over them.
TEST_F(OpenRecording, ItsRowsFillTheGridAsItsBlocksAreFoundAndCancelPutsTheOpenTapeBack) {
    const ProgressAtOnce atOnce;
    const TempTape first(TapeBuilder().ProgramHeader("first", 7, 10, 7).Data(kPrintProgram).Get(),
                         "first.tap");
    Open(first.Path());
    form.DataSource1->MoveTo(1);
    form.RxDBGrid1CellClick();
    ASSERT_EQ(Pane(), kPrintListing);

    Bytes pzx =
        RomPzx(TapeBuilder().ProgramHeader("hello", 120, 10, 80).Data(Bytes(120, 0x20)).Get());
    const Bytes tone = TonePzx(40'000'000, 1000);
    pzx.insert(pzx.end(), tone.begin() + 10, tone.end());  // its blocks after its PZXT header
    const TempTape recording(pzx, "rows.pzx");
    QStringList shownWithProgress;
    ModalWatcher watcher({}, [&](QWidget& modal) {
        if (auto* progress = qobject_cast<QProgressDialog*>(&modal)) {
            for (int row = 0; row < GridRows(); ++row) shownWithProgress << Cell(row, 2);
            progress->cancel();
        }
    });
    Open(recording.Path());

    EXPECT_EQ(shownWithProgress,
              QStringList({QStringLiteral("Program"), QStringLiteral("Raw Data")}));
    // The rows found before the cancel give way to the open tape's, at the row it was on.
    EXPECT_EQ(TapeFileName.path, first.Path());
    ASSERT_EQ(GridRows(), 2);
    EXPECT_EQ(Cell(0, 3), QStringLiteral("first     "));
    EXPECT_EQ(CurrentRow(), 1);
    EXPECT_EQ(Pane(), kPrintListing);
    EXPECT_TRUE(dialogs.failures.empty());
}

}  // namespace
}  // namespace brisalto::testing
