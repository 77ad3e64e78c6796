// SPDX-License-Identifier: GPL-3.0-or-later
#include "Startup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>
#include <QSettings>

#include <memory>

#include "DialogStateUndo.h"
#include "FormMain.h"
#include "ZxFont.h"

namespace brisalto {

void SetUpApplication(QApplication& application) {
    QApplication::setApplicationName(QStringLiteral("Brisalto"));
    // The title on the task bar and on every message box.
    QApplication::setApplicationDisplayName(QStringLiteral("Brisalto"));
    QApplication::setApplicationVersion(QStringLiteral(BRISALTO_VERSION));
    // Lets the desktop match the window to its menu entry and icon.
    QApplication::setDesktopFileName(QStringLiteral("org.brisalto.Brisalto"));
    application.setWindowIcon(QIcon(QStringLiteral(":/brisalto.ico")));
    // Qt's file dialog stores its history and last folder in the user's settings whenever it
    // closes, and reads them back in the next run. The tool keeps nothing between runs, so the
    // user's settings live in a folder that cannot exist: nothing is read, nothing is written.
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope,
                       QStringLiteral("/dev/null/settings"));
    // On Windows the dialog writes to the registry regardless: undo that as the program ends.
    const auto undo = std::make_shared<const DialogStateUndo>();
    QObject::connect(&application, &QCoreApplication::aboutToQuit, [undo] { undo->Restore(); });
    // Where the window's classic font is missing, prefer faces of about its width, so that the
    // captions fit the fixed layout; the system's default face is often much wider.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                QStringLiteral("Liberation Sans")});
    AddSpeccyFont();
}

void OpenTapeOnceShown(TFormM& form, const std::string& path) {
    QMetaObject::invokeMethod(
        &form, [&form, path] { form.OpenTape(path); }, Qt::QueuedConnection);
}

}  // namespace brisalto
