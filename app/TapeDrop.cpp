// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeDrop.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace brisalto {

std::optional<QString> TakeTapeDrag(QDropEvent& event) {
    // Copy, never move: a file manager that is told the file moved may delete its original.
    const QMimeData* data = event.mimeData();
    if (data != nullptr && event.possibleActions().testFlag(Qt::CopyAction)) {
        for (const QUrl& url : data->urls()) {
            // In the system's own form, as the open dialog gives it: back slashes on Windows.
            const QString path = QDir::toNativeSeparators(url.toLocalFile());
            if (path.isEmpty()) continue;
            event.setDropAction(Qt::CopyAction);
            event.accept();
            return path;
        }
    }
    event.ignore();
    return std::nullopt;
}

}  // namespace brisalto
