#pragma once

#include <QString>
#include <QStringList>

#include <optional>

class QWidget;

namespace brisalto {

// The last entry of the open dialog's filter list. Outside Windows "*.*" matches only names
// with a dot, so there the entry that offers every file says "*".
#ifdef Q_OS_WIN
inline const QString kAllFilesFilter = QStringLiteral("All Files (*.*)");
#else
inline const QString kAllFilesFilter = QStringLiteral("All Files (*)");
#endif

// The open dialog's settings and the state it keeps between uses (the form's OpenDialog1).
struct OpenDialogSettings {
    // Description and patterns of each entry.
    QStringList filters{QStringLiteral("Spectrum Tape Files (*.tap)"),
                        QStringLiteral("TZX Tape Files (*.tzx)"), kAllFilesFilter};
    // The entry selected when the dialog opens: the TZX entry after a .tzx file was chosen.
    int selectedFilter = 0;
    QString defaultSuffix = QStringLiteral("tap");
    // "*.tap" at first; afterwards the full path last chosen in this run.
    QString fileName = QStringLiteral("*.tap");

    // Keeps the path chosen for the next use, with the entry that matches it.
    void Remember(const QString& path) {
        fileName = path;
        selectedFilter = path.endsWith(QStringLiteral(".tzx"), Qt::CaseInsensitive) ? 1 : 0;
    }
};

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
};

}  // namespace brisalto
