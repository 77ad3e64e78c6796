// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QDir>

#include <cstdio>
#include <optional>

#include "CommandLine.h"
#include "FormMain.h"
#include "NoDisplay.h"
#include "QtFormDialogs.h"
#include "Startup.h"

int main(int argc, char* argv[]) {
    // Read before the window system starts, so that --help and --version need no display.
    QStringList arguments;
    for (int index = 0; index < argc; ++index)
        arguments.append(QString::fromLocal8Bit(argv[index]));
    const brisalto::CommandLineRequest request =
        brisalto::ReadCommandLine(arguments, QDir::currentPath());
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
