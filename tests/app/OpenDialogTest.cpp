// SPDX-License-Identifier: GPL-3.0-or-later
// The real open dialog, inspected while it runs: the entries it offers and the one it opens on.
#include <QApplication>
#include <QFileDialog>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include "FormDialogs.h"
#include "QtFormDialogs.h"
#include "TapeBuilder.h"
#include "TempTape.h"

namespace brisalto::testing {
namespace {

struct Seen {
    QStringList entries;
    QString selected;
};

// Runs the dialog and cancels it as soon as it shows, reporting what it showed.
Seen RunAndCancel(const OpenDialogSettings& settings) {
    QWidget owner;
    owner.show();
    Seen seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (dialog == nullptr) return;
        seen = {dialog->nameFilters(), dialog->selectedNameFilter()};
        dialog->reject();
    });
    poll.start(10);
    QtFormDialogs dialogs;
    EXPECT_FALSE(dialogs.ExecuteOpenDialog(owner, settings).has_value());
    return seen;
}

// The first entry shows tapes, archives and recordings together.
const QString kAllTapes = QStringLiteral(
    "All Tapes (*.tap *.tzx *.zip *.7z *.rar *.gz *.tgz *.bz2 *.xz *.zst *.lz *.lz4 *.tar *.lzh "
    "*.cab *.wav *.flac *.ogg *.csw *.pzx *.aif *.aiff)");
const QString kRecordings =
    QStringLiteral("Sound Recordings (*.wav *.flac *.ogg *.csw *.pzx *.aif *.aiff)");

TEST(OpenDialog, OpensOnAllTapesFirstAndOnTheTzxEntryAfterATzxFile) {
    const TempTape tzx({}, "game.tzx");
    const TempTape tap({}, "game.tap");
    OpenDialogSettings settings;
    const Seen first = RunAndCancel(settings);
    EXPECT_EQ(first.entries,
              QStringList({kAllTapes, "Spectrum Tape Files (*.tap)", "TZX Tape Files (*.tzx)",
                           kArchivedTapesFilter, kRecordings, kAllFilesFilter}));
    EXPECT_EQ(first.selected, kAllTapes);

    settings.Remember(QString::fromStdString(tzx.Path()));
    EXPECT_EQ(RunAndCancel(settings).selected, "TZX Tape Files (*.tzx)");
    settings.Remember(QString::fromStdString(tap.Path()));
    EXPECT_EQ(RunAndCancel(settings).selected, "Spectrum Tape Files (*.tap)");
    const TempTape wav({}, "side a.WAV");
    settings.Remember(QString::fromStdString(wav.Path()));
    EXPECT_EQ(RunAndCancel(settings).selected, kRecordings);
}

}  // namespace
}  // namespace brisalto::testing
