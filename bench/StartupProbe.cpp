// SPDX-License-Identifier: GPL-3.0-or-later
// The program's start-up up to the first painted window, then a report line instead of the
// event loop: "shown <resident KiB>". AppBench starts it as a process and times it.
#include <QApplication>
#include <QWindow>

#include <cstdio>
#include <fstream>
#include <string>

#include "FormMain.h"
#include "QtFormDialogs.h"
#include "Startup.h"

namespace {

long ResidentKiB() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
    }
    return -1;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    brisalto::SetUpApplication(application);
    brisalto::QtFormDialogs dialogs;
    brisalto::TFormM FormM(dialogs);
    FormM.show();
    while (FormM.windowHandle() == nullptr || !FormM.windowHandle()->isExposed()) {
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    QApplication::processEvents();  // the first paint
    std::printf("shown %ld\n", ResidentKiB());
    std::fflush(stdout);
    return 0;
}
