// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "CommandLine.h"

namespace brisalto {

// The program's help, every command's usage line made from its definition: its options in
// order, those it needs bare and the others in brackets, options that exclude each other as
// "[A | B]", one that excludes everything as "... | A", then its operands.
std::string ProgramHelp(const CommandLine& line);
// One command's help: its usage line, what it does, and each of its options.
std::string CommandHelp(const CommandLine& line, const CLI::App& command);
// "NAME USAGE" as the help's command list shows it.
std::string UsageLine(const CommandLine& line, const CLI::App& command);

}  // namespace brisalto
