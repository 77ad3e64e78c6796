#include "TapeDrop.h"

#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace brisalto {

std::optional<QString> TakeTapeDrag(QDropEvent& event) {
    // Copy, never move: a file manager that is told the file moved may delete its original.
    const QMimeData* data = event.mimeData();
    if (data != nullptr && event.possibleActions().testFlag(Qt::CopyAction)) {
        for (const QUrl& url : data->urls()) {
            const QString path = url.toLocalFile();
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
