// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "CommandLine.h"
#include "ConsoleArguments.h"

namespace brisalto {

// Each command, in its own file, puts its name, options, help and what carries it out into the
// command line; in the help's order.
void AddCatalogueCommand(CommandLine& line);
void AddListCommand(CommandLine& line);
void AddScreenCommand(CommandLine& line);
void AddBytesCommand(CommandLine& line);
void AddBlockViewCommands(CommandLine& line);  // hex, basic, disasm, variables, array
void AddDetailsCommand(CommandLine& line);
void AddThumbnailCommand(CommandLine& line);
void AddWavCommand(CommandLine& line);
void AddConvertCommand(CommandLine& line);
void AddRecordCommand(CommandLine& line);

// Every command, in the help's order.
void AddConsoleCommands(CommandLine& line);

// Carries out a request that did not end at once: its text to standard output, one line per
// problem to standard error ("brisalto-tape: TAPE: message"), each tape read however the ones
// before it fared. Returns the exit status (ExitStatus.h).
int RunConsoleRequest(const ConsoleRequest& request);

}  // namespace brisalto
