// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConsoleHelp.h"

#include <algorithm>
#include <sstream>
#include <vector>

namespace brisalto {

namespace {

constexpr std::string_view kUsage = "Usage: brisalto-tape COMMAND [options] TAPE...\n";

constexpr std::string_view kAboutTapes =
    "A TAPE may be an archive (zip, 7z, rar, tar, gz...): each command reads every tape in it,\n"
    "named ARCHIVE:ENTRY, or with --entry ENTRY (any command) that one; screen, bytes, the\n"
    "block views (hex, basic, disasm, variables, array), details, thumbnail, wav, convert and\n"
    "list --row need the one tape: of an archive of several, --entry names it.\n"
    "\n"
    "A TAPE may be a sound recording of one (WAV, FLAC, Ogg, AIFF, CSW, PZX), in an archive or\n"
    "not: it is decoded into the TZX tape of the blocks it holds, which the command reads.\n"
    "\n"
    "A TAPE - is standard input, read up to 64 MiB as a file is, and named \"standard\n"
    "input\"; what it holds is told by its bytes (TAP, TZX, an archive, a recording).\n"
    "\n"
    "OUTPUT - is standard output. An output file is written whole or not at all, never over\n"
    "the tape being read. Text is UTF-8.\n";

constexpr std::string_view kExitStatus =
    "Exit status: 0 all good; 1 a tape or an output file could not be read or written, or\n"
    "holds no such block; 2 a wrong command line; 3 a damaged tape (the rows before the\n"
    "damage are shown): one that ends inside a block, or a recording that does, is cut\n"
    "short or holds a block that broke off or fails its checksum.\n";

// Options that every command takes are told of once, in the text, and shown in no usage line.
bool Shown(const CLI::App& command, const CLI::Option* option) {
    return option != command.get_help_ptr() && !option->get_positional() &&
           option->get_group() != kEveryCommand;
}

std::vector<const CLI::Option*> ShownOptions(const CLI::App& command) {
    std::vector<const CLI::Option*> shown;
    for (const CLI::Option* option : command.get_options()) {
        if (Shown(command, option)) shown.push_back(option);
    }
    return shown;
}

std::string Token(const CLI::Option* option) {
    std::string token = option->get_name();
    if (option->get_type_size() != 0 && !option->get_type_name().empty())
        token += ' ' + option->get_type_name();
    return token;
}

bool Excludes(const CLI::Option* option, const CLI::Option* other) {
    const auto excluded = option->get_excludes();
    return excluded.count(const_cast<CLI::Option*>(other)) > 0;
}

// An option that excludes every other option of its command: a usage of its own.
bool StandsAlone(const CLI::App& command, const CLI::Option* option) {
    const std::vector<const CLI::Option*> shown = ShownOptions(command);
    return shown.size() > 1 && std::all_of(shown.begin(), shown.end(), [&](const auto* other) {
               return other == option || Excludes(option, other);
           });
}

// Each line of text after six spaces.
std::string Indented(const std::string& text) {
    std::string indented;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) indented += "      " + line + '\n';
    return indented;
}

// One option's line of a help: its name and value, then what it is for.
std::string OptionLine(const std::string& token, const std::string& about) {
    std::string line = "  " + token;
    line.resize(std::max<std::size_t>(line.size() + 1, 17), ' ');
    return line + about + '\n';
}

}  // namespace

std::string UsageLine(const CommandLine& line, const CLI::App& command) {
    std::string usage = command.get_name();
    const CLI::Option* previous = nullptr;
    const CLI::Option* alone = nullptr;
    for (const CLI::Option* option : ShownOptions(command)) {
        if (StandsAlone(command, option)) {
            alone = option;
            continue;
        }
        const bool needed = line.needed.count(option) > 0;
        if (previous != nullptr && Excludes(option, previous) && usage.ends_with(']')) {
            usage.insert(usage.size() - 1, " | " + Token(option));
        } else {
            usage += needed ? ' ' + Token(option) : " [" + Token(option) + ']';
        }
        previous = option;
    }
    const auto found = line.commands.find(&command);
    if (found != line.commands.end()) usage += ' ' + found->second.operands;
    if (alone != nullptr) usage += " | " + Token(alone);
    return usage;
}

std::string ProgramHelp(const CommandLine& line) {
    std::string help(kUsage);
    help += line.app.get_description() + "\n\nCommands:\n";
    for (const CLI::App* command : line.app.get_subcommands({})) {
        help += "  " + UsageLine(line, *command) + '\n';
        help += Indented(command->get_description());
    }
    help += '\n';
    help += kAboutTapes;
    help += "\nOptions:\n";
    for (const CLI::Option* option : line.app.get_options()) {
        std::string token = option->get_name();
        if (option == line.app.get_help_ptr()) token = "-h, --help";
        help += OptionLine(token, option->get_description());
    }
    help += '\n';
    help += kExitStatus;
    return help;
}

std::string CommandHelp(const CommandLine& line, const CLI::App& command) {
    std::string help = "Usage: brisalto-tape " + UsageLine(line, command) + '\n';
    help += Indented(command.get_description());
    help += "\nOptions:\n";
    for (const CLI::Option* option : command.get_options()) {
        if (option->get_positional() || option->get_name().empty()) continue;
        std::string token = Token(option);
        if (option == command.get_help_ptr()) token = "-h, --help";
        help += OptionLine(token, option->get_description());
    }
    return help;
}

}  // namespace brisalto
