#include "Startup.h"

#include <QApplication>
#include <QFont>
#include <QIcon>

namespace brisalto {

void SetUpApplication(QApplication& application) {
    QApplication::setApplicationName(QStringLiteral("Brisalto"));
    // The title on the task bar and on every message box.
    QApplication::setApplicationDisplayName(QStringLiteral("Brisalto"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.3"));
    application.setWindowIcon(QIcon(QStringLiteral(":/brisalto.ico")));
    // Where the window's classic font is missing, prefer faces of about its width, so that the
    // captions fit the fixed layout; the system's default face is often much wider.
    QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                               {QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Arial"),
                                QStringLiteral("Liberation Sans")});
}

}  // namespace brisalto
