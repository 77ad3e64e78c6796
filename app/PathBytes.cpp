// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathBytes.h"

#include <QDir>
#include <QFile>

#include <filesystem>

namespace brisalto {

std::string PathBytes(const QString& path) {
#ifdef Q_OS_WIN
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

QString ShownName(std::string_view bytes) {
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string AbsolutePathBytes(const std::string& path, const std::string& folder) {
#ifdef Q_OS_WIN
    // UTF-8 on both sides, which QString holds without loss.
    return QDir::cleanPath(
               QDir(QString::fromStdString(folder)).absoluteFilePath(QString::fromStdString(path)))
        .toStdString();
#else
    // std::filesystem keeps POSIX names as the bytes they are.
    std::filesystem::path whole(path);
    if (whole.is_relative()) whole = std::filesystem::path(folder) / whole;
    std::string clean = whole.lexically_normal().native();
    if (clean.size() > 1 && clean.back() == '/') clean.pop_back();
    return clean;
#endif
}

}  // namespace brisalto
