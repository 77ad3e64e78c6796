// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeDrop.h"

#include <QDir>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

#include "PathBytes.h"

namespace brisalto {

namespace {

// The path of a file: URI, percent escapes decoded as bytes; nothing for any other URI.
std::optional<std::string> LocalPath(QByteArray uri) {
    constexpr std::string_view kScheme = "file:";
    if (uri.size() < qsizetype(kScheme.size()) ||
        uri.first(qsizetype(kScheme.size())).toLower() != QByteArray(kScheme.data()))
        return std::nullopt;
    QByteArray rest = uri.mid(qsizetype(kScheme.size()));
    QByteArray host;
    if (rest.startsWith("//")) {
        const qsizetype slash = rest.indexOf('/', 2);
        host = rest.mid(2, slash < 0 ? -1 : slash - 2);
        rest = slash < 0 ? QByteArray() : rest.mid(slash);
    }
    if (const qsizetype end = rest.indexOf('?'); end >= 0) rest.truncate(end);
    if (const qsizetype end = rest.indexOf('#'); end >= 0) rest.truncate(end);
    if (rest.isEmpty()) return std::nullopt;
    QByteArray path = QByteArray::fromPercentEncoding(rest);
    if (!host.isEmpty() && host.toLower() != "localhost") path.prepend("//" + host);
    return path.toStdString();
}

}  // namespace

std::optional<std::string> FirstLocalFile(const QByteArray& uriList) {
    for (QByteArray line : uriList.split('\n')) {
        line = line.trimmed();  // the CR of CRLF, and blanks some programs add
        if (line.isEmpty() || line.startsWith('#')) continue;
        if (std::optional<std::string> path = LocalPath(line)) return path;
    }
    return std::nullopt;
}

std::optional<std::string> TakeTapeDrag(QDropEvent& event) {
    // Copy, never move: a file manager that is told the file moved may delete its original.
    const QMimeData* data = event.mimeData();
    if (data != nullptr && event.possibleActions().testFlag(Qt::CopyAction)) {
        std::optional<std::string> path;
#ifdef Q_OS_WIN
        // In the system's own form, as the open dialog gives it: back slashes on Windows.
        for (const QUrl& url : data->urls()) {
            const QString local = QDir::toNativeSeparators(url.toLocalFile());
            if (!local.isEmpty()) {
                path = PathBytes(local);
                break;
            }
        }
#else
        // The list's own bytes: QUrl would read a name that is no UTF-8 into U+FFFD.
        const QString uriList = QStringLiteral("text/uri-list");
        if (data->hasFormat(uriList)) path = FirstLocalFile(data->data(uriList));
#endif
        if (path) {
            event.setDropAction(Qt::CopyAction);
            event.accept();
            return path;
        }
    }
    event.ignore();
    return std::nullopt;
}

}  // namespace brisalto
