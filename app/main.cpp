// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDir>

#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "CommandLine.h"
#include "FormMain.h"
#include "NoDisplay.h"
#include "QtFormDialogs.h"
#include "Startup.h"

int main(int argc, char* argv[]) {
    // Read before the window system starts, so that --help and --version need no display.
    // A file's name stays the bytes it is on POSIX, UTF-8 or not; Windows paths are UTF-8.
    std::vector<std::string> arguments;
    for (int index = 0; index < argc; ++index) {
#ifdef Q_OS_WIN
        arguments.push_back(QString::fromLocal8Bit(argv[index]).toStdString());
#else
        arguments.emplace_back(argv[index]);
#endif
    }
#ifdef Q_OS_WIN
    const std::string folder = QDir::currentPath().toStdString();
#else
    std::error_code failure;
    const std::string folder = std::filesystem::current_path(failure).native();
#endif
    const brisalto::CommandLineRequest request = brisalto::ReadCommandLine(arguments, folder);
    if (request.exitCode) {
        std::fputs(request.text.toLocal8Bit().constData(),
                   *request.exitCode == 0 ? stdout : stderr);
        return *request.exitCode;
    }

    std::optional<QApplication> made;
    {
        const brisalto::NoDisplayGuard guard;
        made.emplace(argc, argv);
    }
    QApplication& application = *made;
    brisalto::SetUpApplication(application);
    brisalto::QtFormDialogs dialogs;
    brisalto::TFormM FormM(dialogs);
    FormM.show();
    if (request.tapePath) brisalto::OpenTapeOnceShown(FormM, *request.tapePath);
    return QApplication::exec();
}
