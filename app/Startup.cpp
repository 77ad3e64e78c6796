#include "Startup.h"

#include <QApplication>
#include <QIcon>

namespace brisalto {

void SetUpApplication(QApplication& application) {
    QApplication::setApplicationName(QStringLiteral("Brisalto"));
    // The title on the task bar and on every message box.
    QApplication::setApplicationDisplayName(QStringLiteral("Brisalto"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.3"));
    application.setWindowIcon(QIcon(QStringLiteral(":/brisalto.ico")));
}

}  // namespace brisalto
