// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

#include "IsRecording.h"
#include "TapeArchive.h"

class QWidget;

namespace brisalto {

// The last entry of the open dialog's filter list. Outside Windows "*.*" matches only names
// with a dot, so there the entry that offers every file says "*".
#ifdef Q_OS_WIN
inline const QString kAllFilesFilter = QStringLiteral("All Files (*.*)");
#else
inline const QString kAllFilesFilter = QStringLiteral("All Files (*)");
#endif

// The names archives usually have, as the open dialog's patterns.
inline const QString kArchivePatterns = [] {
    QString patterns;
    for (const std::string_view suffix : kArchiveSuffixes) {
        if (!patterns.isEmpty()) patterns += QLatin1Char(' ');
        patterns += QLatin1Char('*') + QString::fromLatin1(suffix.data(), qsizetype(suffix.size()));
    }
    return patterns;
}();

// The open dialog's entry for tapes inside archives.
inline const QString kArchivedTapesFilter =
    QStringLiteral("Archived Tapes (%1)").arg(kArchivePatterns);

// The names sound recordings usually have, as the open dialog's patterns.
inline const QString kRecordingPatterns = [] {
    QString patterns;
    for (const std::string_view suffix : kRecordingSuffixes) {
        if (!patterns.isEmpty()) patterns += QLatin1Char(' ');
        patterns += QLatin1Char('*') + QString::fromLatin1(suffix.data(), qsizetype(suffix.size()));
    }
    return patterns;
}();

// The open dialog's entry for recordings of tapes.
inline const QString kRecordingsFilter =
    QStringLiteral("Sound Recordings (%1)").arg(kRecordingPatterns);

// The open dialog's first entry: tapes, archives and recordings together.
inline const QString kAllTapesFilter =
    QStringLiteral("All Tapes (*.tap *.tzx %1 %2)").arg(kArchivePatterns, kRecordingPatterns);

// Whether a file name matches one of the archives' entry's patterns.
inline bool IsArchiveName(const QString& name) {
    return IsArchiveName(std::string_view(name.toStdString()));
}

// The open dialog's settings and the state it keeps between uses (the form's OpenDialog1).
struct OpenDialogSettings {
    // Description and patterns of each entry.
    QStringList filters{kAllTapesFilter,
                        QStringLiteral("Spectrum Tape Files (*.tap)"),
                        QStringLiteral("TZX Tape Files (*.tzx)"),
                        kArchivedTapesFilter,
                        kRecordingsFilter,
                        kAllFilesFilter};
    // The entry selected when the dialog opens: all tapes at first; afterwards the TAP entry, the
    // TZX entry after a .tzx file was chosen, the archives' entry after an archive, the
    // recordings' after a recording.
    int selectedFilter = 0;
    QString defaultSuffix = QStringLiteral("tap");
    // "*.tap" at first; afterwards the full path last chosen in this run.
    QString fileName = QStringLiteral("*.tap");

    // Keeps the path chosen for the next use, with the entry that matches it.
    void Remember(const QString& path) {
        fileName = path;
        const QString name = path.section(QLatin1Char('/'), -1).section(QLatin1Char('\\'), -1);
        selectedFilter = name.endsWith(QStringLiteral(".tzx"), Qt::CaseInsensitive) ? 2
                         : IsArchiveName(name)                                      ? 3
                         : IsRecordingName(name.toStdString())                      ? 4
                                                                                    : 1;
    }
};

// One use of the save dialog: it opens in folder on the file name suggested, with the first
// filter entry selected; the default suffix follows the entry selected.
struct SaveDialogSettings {
    QString caption;      // the dialog's title
    QStringList filters;  // description and patterns of each entry, the last kAllFilesFilter
    QString folder;       // absolute
    QString fileName;     // without a folder
};

// What to do with a recording not yet saved before the window lets go of it.
enum class UnsavedRecordingAnswer { Save, Discard, Cancel };

// The modal dialogs the form shows. The window takes them through this seam so that tests can
// answer them without entering a modal loop.
class FormDialogs {
public:
    virtual ~FormDialogs() = default;
    // The full path of the file chosen, or nothing when the user cancels.
    virtual std::optional<QString> ExecuteOpenDialog(QWidget& owner,
                                                     const OpenDialogSettings& settings) = 0;
    // The default failure display: a stop icon, one OK button; text is shown as given.
    virtual void ShowFailure(const QString& text) = 0;
    // The damaged-tape message: no icon, one OK button.
    virtual void ShowDamagedTape(const QString& text) = 0;
    // A note on what a save could not keep: an information icon, one OK button.
    virtual void ShowNote(const QString& text) = 0;
    // The chooser for an archive that holds several tapes: the index into tapes of the one
    // chosen, or nothing when the user cancels.
    virtual std::optional<std::size_t> ChooseArchiveTape(QWidget& owner, const QString& archive,
                                                         const std::vector<ArchiveTape>& tapes) = 0;
    // The full path to save to, once the user has agreed to replace a file that exists; nothing
    // when the user cancels.
    virtual std::optional<QString> ExecuteSaveDialog(QWidget& owner,
                                                     const SaveDialogSettings& settings) = 0;
    // The Tape Information dialog showing text, read-only, until the user closes it.
    virtual void ShowTapeInformation(QWidget& owner, const QString& text) = 0;
    // Asks whether to save the tape recorded, not yet saved, before the window lets go of it
    // (closing, another tape opened or recorded): Save, Discard or Cancel.
    virtual UnsavedRecordingAnswer AskToSaveRecording(QWidget& owner) = 0;
};

}  // namespace brisalto
