#include <cstdio>
#include <string_view>
#include <vector>

#include "ConsoleArguments.h"
#include "ConsoleCommands.h"

int main(int argc, char* argv[]) {
    const std::vector<std::string_view> arguments(argv, argv + argc);
    const brisalto::ConsoleRequest request = brisalto::ReadConsoleArguments(arguments);
    if (request.exitCode) {
        std::fputs(request.text.c_str(), *request.exitCode == 0 ? stdout : stderr);
        return *request.exitCode;
    }
    return brisalto::RunConsoleRequest(request);
}
