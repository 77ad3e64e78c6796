// SPDX-License-Identifier: GPL-3.0-or-later
#include "SoundActions.h"

#include <QDir>
#include <QFileInfo>
#include <QProgressDialog>
#include <QSaveFile>

#include <optional>
#include <utility>

#include "CatalogueTable.h"
#include "DamagedTapeText.h"
#include "FormDialogs.h"
#include "SaveActions.h"
#include "SuggestedName.h"
#include "TapeSoundBytes.h"
#include "WavSound.h"

namespace brisalto {

namespace {

// The progress dialog shows itself only when the sound takes longer than this to write, and at
// once for a sound longer than kLongSound (ten minutes of sound take longer than a moment).
constexpr int kMomentMilliseconds = 400;
constexpr std::uint64_t kLongSoundSeconds = 10 * 60;
constexpr int kProgressSteps = 1000;

// Hands the pieces of the sound to the file written aside.
class SaveFileSink final : public ByteSink {
public:
    explicit SaveFileSink(QSaveFile& file) : file_(file) {}
    void Write(std::span<const std::uint8_t> bytes) override {
        const auto size = static_cast<qint64>(bytes.size());
        if (file_.write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
            throw SaveError(
                QStringLiteral("Cannot save %1: %2")
                    .arg(QDir::toNativeSeparators(file_.fileName()), file_.errorString()));
        }
    }

private:
    QSaveFile& file_;
};

void SaveSound(const RowOfTape& row, bool fromHere) {
    const SaveDialogSettings settings{
        .caption = fromHere ? QStringLiteral("Save Sound From Here")
                            : QStringLiteral("Save Tape As Sound"),
        .filters = {QStringLiteral("WAV Sound Files (*.wav)"), kAllFilesFilter},
        .folder = QFileInfo(QString::fromStdString(row.tape.path)).absolutePath(),
        .fileName = QString::fromStdString(SuggestedSoundName(
            row.tape, fromHere ? std::optional<std::size_t>(row.index) : std::nullopt)),
    };
    const std::optional<QString> target = row.dialogs.ExecuteSaveDialog(row.owner, settings);
    if (!target) return;
    RefuseTheOpenTape(*target, row.tape);

    TapeSoundBytes tape =
        fromHere ? ReadTapeSoundBytesAt(row.document, row.table.Row(row.index).Position)
                 : ReadTapeSoundBytes(row.document);
    const bool damaged = tape.damaged;
    const std::size_t rows = tape.rows;
    const std::string stop = tape.stop;
    const WavSound wav(std::move(tape), SoundFormat{});

    QSaveFile file(*target);
    if (!file.open(QIODevice::WriteOnly)) {
        throw SaveError(QStringLiteral("Cannot save %1: %2")
                            .arg(QDir::toNativeSeparators(*target), file.errorString()));
    }
    QProgressDialog progress(QStringLiteral("Saving the sound of the tape\u2026"),
                             QStringLiteral("Cancel"), 0, kProgressSteps, &row.owner);
    progress.setObjectName(QStringLiteral("SoundProgress"));
    progress.setWindowModality(Qt::WindowModal);
    const bool longSound = wav.Samples() > kLongSoundSeconds * SoundFormat{}.rate;
    progress.setMinimumDuration(longSound ? 0 : kMomentMilliseconds);
    SaveFileSink sink(file);
    const bool whole = wav.Write(sink, [&progress](std::uint64_t done, std::uint64_t total) {
        progress.setValue(
            static_cast<int>(done * kProgressSteps / std::max<std::uint64_t>(total, 1)));
        return !progress.wasCanceled();
    });
    if (!whole) {
        file.cancelWriting();
        return;
    }
    if (!file.commit()) {
        throw SaveError(QStringLiteral("Cannot save %1: %2")
                            .arg(QDir::toNativeSeparators(*target), file.errorString()));
    }
    if (damaged) {
        row.dialogs.ShowDamagedTape(
            QString::fromStdString(DamagedTapeText(row.document, SoundStopsText(rows, stop))));
    }
}

}  // namespace

void SaveSoundFromHere(const RowOfTape& row) {
    SaveSound(row, true);
}

void SaveTapeAsSound(const RowOfTape& row) {
    SaveSound(row, false);
}

}  // namespace brisalto
