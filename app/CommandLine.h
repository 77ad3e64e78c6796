// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace brisalto {

// What the command line asks of this run.
struct CommandLineRequest {
    // The tape to open once the window shows, as an absolute path.
    std::optional<QString> tapePath;
    // Set when the program ends at once: 0 after --help or --version, whose text goes to
    // standard output; 2 after a wrong option, whose one-line message goes to standard error.
    std::optional<int> exitCode;
    QString text;
};

// Reads the program's arguments (the program itself first). Meant to run before the window
// system starts, so that --help and --version need no display; the window system's own options
// (-platform, -style, ...) are let through for QApplication. A relative tape path is taken from
// currentFolder; files after the first are ignored.
CommandLineRequest ReadCommandLine(const QStringList& arguments, const QString& currentFolder);

}  // namespace brisalto
