// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include <CLI/CLI.hpp>

#include "ConsoleArguments.h"

namespace brisalto {

// A command line that asks for nothing that can be done, in the words of its usage line.
class UsageProblem : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The group of the options that every command takes: told of once in the help's text, in no
// usage line.
inline constexpr std::string_view kEveryCommand = "Every command";

// What carries out a command once its command line is read; returns the exit status.
using CommandRun = int (*)(const ConsoleRequest&);
// Checks a command's operands (the words after its options) and puts them into the request.
using CommandOperands = std::function<void(std::vector<std::string>& operands, ConsoleRequest&)>;

// The console program's command line: every command puts itself into it, its options bound to
// the one request. The help is made from the same definitions (ConsoleHelp.h).
class CommandLine {
public:
    explicit CommandLine(ConsoleRequest& request);

    // Adds a command: its name, its operands as its usage line shows them, what it does
    // (lines for the help), and what reads its operands (by default: one tape or more).
    CLI::App& AddCommand(const std::string& name, const std::string& operands,
                         const std::string& about, ConsoleCommand command, CommandRun run,
                         CommandOperands takeOperands = nullptr);
    // An option the command cannot do without.
    CLI::Option* Needed(CLI::Option* option);

    ConsoleRequest& request;
    CLI::App app;

    // For the help and the checks after reading.
    struct Command {
        std::string operands;
        ConsoleCommand command = ConsoleCommand::Catalogue;
        CommandRun run = nullptr;
        CommandOperands takeOperands;
        std::vector<std::string> given;  // the operands as read
    };
    std::map<const CLI::App*, Command> commands;
    std::set<const CLI::Option*> needed;
};

// The values options take, each read whole or refused with the option's name.
std::size_t ReadRowNumber(std::string_view option, const std::string& text);
unsigned ReadNumberFrom(std::string_view option, const std::string& text, unsigned low,
                        unsigned high);
// "tap" or "tzx", any case; a file name's suffix the same way.
std::optional<TapeFormat> ReadFormat(std::string_view text);
std::optional<TapeFormat> FormatOfName(std::string_view path);

// The --row option, with what the row is for in the command's help.
CLI::Option* AddRowOption(CLI::App& command, ConsoleRequest& request, const std::string& about);
// --json, as the commands that give JSON take it.
CLI::Option* AddJsonOption(CLI::App& command, ConsoleRequest& request);
// Operands of a command that writes a file: one tape and one output.
void TapeAndOutput(std::vector<std::string>& operands, ConsoleRequest& request,
                   const std::string& command);

}  // namespace brisalto
