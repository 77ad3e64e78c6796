// SPDX-License-Identifier: GPL-3.0-or-later
#include "PathBytes.h"

#include <QDir>
#include <QFile>

#include <filesystem>
#include <optional>
#include <utility>

namespace brisalto {

namespace {

#ifndef Q_OS_WIN
// The file whose path's parts show as path's do, each part that holds U+FFFD the only name of
// its folder to show so; nothing where none or several do.
std::optional<std::string> FileShownAs(const QString& path) {
    std::filesystem::path found = path.startsWith(QLatin1Char('/')) ? "/" : "";
    for (const QString& part : path.split(QLatin1Char('/'), Qt::SkipEmptyParts)) {
        if (!part.contains(QChar::ReplacementCharacter)) {
            found /= PathBytes(part);
            continue;
        }
        std::string name;
        int matches = 0;
        const std::filesystem::path folder = found.empty() ? "." : found;
        for (const auto& entry : std::filesystem::directory_iterator(folder)) {
            std::string candidate = entry.path().filename().native();
            if (ShownName(candidate) == part) {
                name = std::move(candidate);
                ++matches;
            }
        }
        if (matches != 1) return std::nullopt;
        found /= name;
    }
    return found.native();
}
#endif

}  // namespace

std::string PathBytes(const QString& path) {
#ifdef Q_OS_WIN
    return path.toStdString();
#else
    return QFile::encodeName(path).toStdString();
#endif
}

std::string ChosenFileBytes(const QString& path) {
    std::string bytes = PathBytes(path);
#ifndef Q_OS_WIN
    std::error_code failure;
    if (!path.contains(QChar::ReplacementCharacter) || std::filesystem::exists(bytes, failure))
        return bytes;
    try {
        if (std::optional<std::string> found = FileShownAs(path)) return *found;
    } catch (const std::filesystem::filesystem_error&) {
        // A folder that cannot be listed: the open says why.
    }
#endif
    return bytes;
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
