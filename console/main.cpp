// SPDX-License-Identifier: GPL-3.0-or-later
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "ConsoleArguments.h"
#include "ConsoleCommands.h"
#include "ProgramStart.h"

int main(int argc, char* argv[]) {
    brisalto::PrepareStandardOutput();
    const std::vector<std::string> given = brisalto::ProgramArguments(argc, argv);
    const std::vector<std::string_view> arguments(given.begin(), given.end());
    const brisalto::ConsoleRequest request = brisalto::ReadConsoleArguments(arguments);
    if (request.exitCode) {
        std::fputs(request.text.c_str(), *request.exitCode == 0 ? stdout : stderr);
        return *request.exitCode;
    }
    return brisalto::RunConsoleRequest(request);
}
