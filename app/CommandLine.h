// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>
#include <string>
#include <vector>

namespace brisalto {

// What the command line asks of this run.
struct CommandLineRequest {
    // The tape to open once the window shows, as an absolute path in the core's form (the
    // argument's own bytes on POSIX, whether or not they are UTF-8).
    std::optional<std::string> tapePath;
    // Set when the program ends at once: 0 after --help or --version, whose text goes to
    // standard output; 2 after a wrong option, whose one-line message goes to standard error.
    std::optional<int> exitCode;
    QString text;
};

// Reads the program's arguments (the program itself first), each as the system gave it: bytes on
// POSIX, UTF-8 on Windows. Meant to run before the window system starts, so that --help and
// --version need no display; the window system's own options (-platform, -style, ...) are let
// through for QApplication. A relative tape path is taken from currentFolder (in the same form);
// files after the first are ignored.
CommandLineRequest ReadCommandLine(const std::vector<std::string>& arguments,
                                   const std::string& currentFolder);

}  // namespace brisalto
