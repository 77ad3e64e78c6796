// SPDX-License-Identifier: GPL-3.0-or-later
// The help names every command, each with exactly the options the command line takes for it.
#include <gtest/gtest.h>

#include <array>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "ConsoleArguments.h"

namespace {

using brisalto::ReadConsoleArguments;

brisalto::ConsoleRequest Read(std::vector<std::string_view> arguments) {
    arguments.insert(arguments.begin(), "brisalto-tape");
    return ReadConsoleArguments(arguments);
}

// The help's line for a command: the one that starts with two spaces and its name.
std::string UsageLine(const std::string& help, std::string_view command) {
    std::istringstream lines(help);
    for (std::string line; std::getline(lines, line);) {
        if (line.starts_with("  " + std::string(command) + " ")) return line;
    }
    return {};
}

TEST(ConsoleHelp, NamesEveryCommandWithTheOptionsItTakes) {
    const std::string help = Read({"--help"}).text;
    constexpr std::array<std::string_view, 13> commands = {
        "catalogue", "list",  "screen",  "bytes",     "hex", "basic", "disasm",
        "variables", "array", "details", "thumbnail", "wav", "record"};
    constexpr std::array<std::string_view, 16> options = {
        "--row",        "--from-row", "--rate",   "--bits",        "-o",          "--no-raw",
        "--json",       "--from",     "--scale",  "--scr",         "--keep-flag", "--size",
        "--json-lines", "--seconds",  "--device", "--list-devices"};
    for (const std::string_view command : commands) {
        SCOPED_TRACE(command);
        EXPECT_EQ(Read({command, "a.tap", "b"}).text.find("unknown command"), std::string::npos);
        const std::string line = UsageLine(help, command);
        ASSERT_FALSE(line.empty()) << help;
        for (const std::string_view option : options) {
            SCOPED_TRACE(option);
            const std::string given = std::string(option) + "=8";
            const bool taken = Read({command, given, "a.tap"}).text.find("is not an option of") ==
                               std::string::npos;
            const bool named = line.find(" " + std::string(option) + " ") != std::string::npos ||
                               line.find("[" + std::string(option) + " ") != std::string::npos ||
                               line.find("[" + std::string(option) + "]") != std::string::npos ||
                               line.find(" " + std::string(option) + "]") != std::string::npos ||
                               line.ends_with(" " + std::string(option));
            EXPECT_EQ(taken, named) << line;
        }
    }
}

}  // namespace
