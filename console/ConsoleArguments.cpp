// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConsoleArguments.h"

#include <algorithm>
#include <array>
#include <charconv>

#include "ExitStatus.h"
#include "LicenceNotice.h"

namespace brisalto {

namespace {

constexpr std::string_view kProgram = "brisalto-tape";

constexpr std::string_view kHelpTop =
    "Usage: brisalto-tape COMMAND [options] TAPE...\n"
    "Reads ZX Spectrum tape images (TAP, TZX) without a window.\n"
    "\n"
    "Commands:\n";

constexpr std::string_view kHelpEnd =
    "\n"
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
    "the tape being read. Text is UTF-8.\n"
    "\n"
    "Options:\n"
    "  -h, --help     Shows this help and ends.\n"
    "  --version      Shows the version and ends.\n"
    "\n"
    "Exit status: 0 all good; 1 a tape or an output file could not be read or written, or\n"
    "holds no such block; 2 a wrong command line; 3 a damaged tape (the rows before the\n"
    "damage are shown): one that ends inside a block, or a recording that does, is cut\n"
    "short or holds a block that broke off or fails its checksum.\n";

// Each command with its usage line and what it does, in the help's order. The options a command
// takes are the ones its usage line names (and --entry, which every command takes), so that the
// help and the reading of the command line cannot tell different stories.
struct CommandInfo {
    std::string_view name;
    ConsoleCommand command;
    std::string_view usage;  // after the name
    std::string_view about;  // lines of six spaces' indent, each ending in a newline
};

constexpr std::array<CommandInfo, 14> kCommands = {{
    {"catalogue", ConsoleCommand::Catalogue, "[--no-raw] [--json | --json-lines] TAPE|FOLDER...",
     "      The blocks of each tape as the window's catalogue lists them, one numbered row\n"
     "      each; with --no-raw only the headers (as \"Show Raw Blocks\" off), with --json\n"
     "      every field in full, the tape's size and SHA-1, and a TZX tape's archive\n"
     "      information and descriptions; --json-lines gives one object per line instead of\n"
     "      an array. A FOLDER stands for every tape, recording and archive below it, in name\n"
     "      order.\n"
     "      Rows keep one numbering everywhere: a row's place with raw blocks shown.\n"},
    {"list", ConsoleCommand::List, "[--row N] TAPE...",
     "      The BASIC text of the program in row N, or of every program on the tape.\n"},
    {"screen", ConsoleCommand::Screen, "--row N [--scale K | --scr] TAPE OUTPUT",
     "      The 6,912-byte data block in row N as a PNG picture (K times 256x192, K up to 8),\n"
     "      or with --scr its 6,912 bytes.\n"},
    {"bytes", ConsoleCommand::Bytes, "--row N [--keep-flag] TAPE OUTPUT",
     "      The data of the block in row N; with --keep-flag its flag and checksum as well.\n"},
    {"hex", ConsoleCommand::Hex, "--row N TAPE",
     "      The bytes of the block in row N, 16 a line with their offsets, flag and checksum\n"
     "      in brackets, the characters as the Spectrum shows them beside; for a Bytes block\n"
     "      also the address each line loads at.\n"},
    {"basic", ConsoleCommand::Basic, "--row N TAPE",
     "      The program in row N as the Block View's BASIC tab lists it: its lines, then one\n"
     "      for each number whose hidden value is not its digits.\n"},
    {"disasm", ConsoleCommand::Disasm, "--row N [--from ADDR] TAPE",
     "      The Z80 instructions of the Bytes block in row N from its load address, or from\n"
     "      ADDR within it; any other block's data taken to load at ADDR. ADDR is decimal or\n"
     "      0x hex. An instruction the block's end cuts shows its bytes, \"(cut by the block's\n"
     "      end)\" and no name.\n"},
    {"variables", ConsoleCommand::Variables, "--row N [--json] TAPE",
     "      The variables stored after the BASIC program in row N, as PRINT shows them; where\n"
     "      the bytes stop being variables (code hidden after a program), the offset from which\n"
     "      they are not.\n"},
    {"array", ConsoleCommand::Array, "--row N [--json] TAPE",
     "      The dimensions and every element of the number or character array in row N.\n"},
    {"details", ConsoleCommand::Details, "[--row N] [--json] TAPE",
     "      Every block of the tape in file order, the grid's rows and the blocks it never\n"
     "      lists: its TZX ID and name, timings in T-states, pauses, counts, texts, jumps,\n"
     "      loops, symbol tables, and a data block's flag and checksum, stated and computed;\n"
     "      with --row N the block of that row only.\n"},
    {"thumbnail", ConsoleCommand::Thumbnail, "[--size N] TAPE OUTPUT",
     "      The tape's loading screen, its first 6,912-byte data block, as a PNG picture N\n"
     "      pixels wide (256 unless given, at most 2048); nothing for a tape without one.\n"},
    {"wav", ConsoleCommand::Wav, "[--from-row N] [--rate R] [--bits 8|16] -o OUTPUT TAPE",
     "      The tape's sound as a WAV file, as a tape deck plays it into a Spectrum: from its\n"
     "      start, or from row N; R samples a second (44100 unless given, 8000 to 192000),\n"
     "      8-bit unless --bits 16. Its length is the tape's.\n"},
    {"convert", ConsoleCommand::Convert, "[--to tap|tzx] TAPE OUTPUT",
     "      The tape as a TAP or TZX file, the format from --to or else OUTPUT's suffix: a\n"
     "      TZX of a TAP converts back to the same TAP; a TAP of a TZX keeps its data blocks,\n"
     "      and what a TAP cannot hold (tones, pauses, texts...) is named on standard error.\n"
     "      A damaged tape gives its whole blocks before the damage.\n"},
    {"record", ConsoleCommand::Record, "[--seconds N] [--device NAME] OUTPUT | --list-devices",
     "      Records a tape from the default sound input, or the one named NAME, for N\n"
     "      seconds, or until Ctrl+C, telling each block on standard error as it loads, then\n"
     "      writes what it read as a TAP or TZX file by OUTPUT's suffix. The TZX keeps what\n"
     "      could not be read as data as the sound measured; a TAP keeps the data blocks.\n"
     "      OUTPUT is checked before recording starts; should writing it still fail, the\n"
     "      recording is kept in a temporary file, whose name is told. --list-devices lists\n"
     "      the sound inputs' names instead.\n"},
}};

std::string MakeHelp() {
    std::string help(kHelpTop);
    for (const CommandInfo& command : kCommands) {
        help += "  ";
        help += command.name;
        help += ' ';
        help += command.usage;
        help += '\n';
        help += command.about;
    }
    help += kHelpEnd;
    return help;
}

// Whether the usage line names the option: a word of it, before a space, a bracket or a bar.
bool Names(std::string_view usage, std::string_view option) {
    for (std::size_t at = usage.find(option); at != std::string_view::npos;
         at = usage.find(option, at + 1)) {
        const bool starts = at == 0 || usage[at - 1] == ' ' || usage[at - 1] == '[';
        const std::size_t after = at + option.size();
        const bool ends = after == usage.size() || usage[after] == ' ' || usage[after] == ']';
        if (starts && ends) return true;
    }
    return false;
}

ConsoleRequest Ended(int code, std::string text) {
    ConsoleRequest request;
    request.exitCode = code;
    request.text = std::move(text);
    return request;
}

ConsoleRequest Usage(std::string_view problem) {
    std::string text(kProgram);
    text += ": ";
    text += problem;
    text += " (brisalto-tape --help shows the usage)\n";
    return Ended(kExitUsage, std::move(text));
}

// A whole decimal number from low to high, or nothing.
std::optional<unsigned> ReadNumber(std::string_view text, unsigned low, unsigned high) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high)
        return std::nullopt;
    return value;
}

// An address: decimal, or hex after 0x.
std::optional<unsigned> ReadAddress(std::string_view text) {
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        text.remove_prefix(2);
        base = 16;
    }
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
    if (text.empty() || error != std::errc() || end != text.data() + text.size() || value > 0xFFFF)
        return std::nullopt;
    return value;
}

// "tap" or "tzx", any case; a suffix after a dot the same way.
std::optional<TapeFormat> ReadFormat(std::string_view text) {
    const auto is = [text](std::string_view name) {
        return text.size() == name.size() &&
               std::equal(text.begin(), text.end(), name.begin(), [](char a, char b) {
                   return (a >= 'A' && a <= 'Z' ? char(a - 'A' + 'a') : a) == b;
               });
    };
    if (is("tap")) return TapeFormat::Tap;
    if (is("tzx")) return TapeFormat::Tzx;
    return std::nullopt;
}

std::optional<TapeFormat> FormatOfName(std::string_view path) {
    const std::size_t dot = path.rfind('.');
    const std::size_t slash = path.find_last_of("/\\");
    if (dot == std::string_view::npos || (slash != std::string_view::npos && dot < slash))
        return std::nullopt;
    return ReadFormat(path.substr(dot + 1));
}

// The options each command takes: what its usage line names, and --entry.
bool Takes(ConsoleCommand command, std::string_view option) {
    if (option == "--entry") return true;
    for (const CommandInfo& info : kCommands) {
        if (info.command == command) return Names(info.usage, option);
    }
    return false;
}

bool TakesValue(std::string_view option) {
    return option == "--row" || option == "--scale" || option == "--size" || option == "--entry" ||
           option == "--from" || option == "--from-row" || option == "--rate" ||
           option == "--bits" || option == "-o" || option == "--to" || option == "--seconds" ||
           option == "--device";
}

}  // namespace

ConsoleRequest ReadConsoleArguments(std::span<const std::string_view> arguments) {
    if (arguments.size() < 2) return Usage("no command given");
    const std::string_view first = arguments[1];
    if (first == "-h" || first == "--help") return Ended(kExitGood, MakeHelp());
    if (first == "--version") {
        return Ended(kExitGood,
                     std::string("brisalto-tape " BRISALTO_VERSION "\n") + kLicenceNotice);
    }

    ConsoleRequest request;
    bool known = false;
    for (const CommandInfo& command : kCommands) {
        if (command.name == first) {
            request.command = command.command;
            known = true;
        }
    }
    if (!known) return Usage("unknown command '" + std::string(first) + "'");

    std::vector<std::string_view> files;
    bool optionsEnded = false;
    bool scaleGiven = false;
    for (std::size_t i = 2; i < arguments.size(); ++i) {
        std::string_view argument = arguments[i];
        if (optionsEnded || argument == "-" || !argument.starts_with("-")) {
            files.push_back(argument);
            continue;
        }
        if (argument == "--") {
            optionsEnded = true;
            continue;
        }
        if (argument == "-h" || argument == "--help") return Ended(kExitGood, MakeHelp());
        std::string_view value;
        bool hasValue = false;
        if (const auto equals = argument.find('='); equals != std::string_view::npos) {
            value = argument.substr(equals + 1);
            argument = argument.substr(0, equals);
            hasValue = true;
        }
        if (!Takes(request.command, argument)) {
            return Usage("'" + std::string(argument) + "' is not an option of " +
                         std::string(first));
        }
        if (TakesValue(argument) && !hasValue) {
            if (i + 1 == arguments.size()) {
                return Usage("'" + std::string(argument) + "' needs a value");
            }
            value = arguments[++i];
        } else if (!TakesValue(argument) && hasValue) {
            return Usage("'" + std::string(argument) + "' takes no value");
        }

        if (argument == "--row" || argument == "--from-row") {
            const auto row = ReadNumber(value, 1, 0xFFFFFFFFu);
            if (!row) return Usage("'" + std::string(argument) + "' needs a row number from 1 up");
            request.row = *row;
        } else if (argument == "--seconds") {
            const auto seconds = ReadNumber(value, 1, 86'400);
            if (!seconds) return Usage("'--seconds' needs a number from 1 to 86400");
            request.seconds = *seconds;
        } else if (argument == "--device") {
            if (value.empty()) return Usage("'--device' needs a sound input's name");
            request.device = value;
        } else if (argument == "--list-devices") {
            request.listDevices = true;
        } else if (argument == "--rate") {
            const auto rate = ReadNumber(value, 8000, 192000);
            if (!rate) return Usage("'--rate' needs a number from 8000 to 192000");
            request.rate = *rate;
        } else if (argument == "--bits") {
            const auto bits = ReadNumber(value, 8, 16);
            if (!bits || (*bits != 8 && *bits != 16)) return Usage("'--bits' needs 8 or 16");
            request.bits = *bits;
        } else if (argument == "-o") {
            if (value.empty()) return Usage("'-o' needs a file name");
            request.output = value;
        } else if (argument == "--to") {
            const auto format = ReadFormat(value);
            if (!format) return Usage("'--to' needs tap or tzx");
            request.format = *format;
        } else if (argument == "--scale") {
            const auto scale = ReadNumber(value, 1, 8);
            if (!scale) return Usage("'--scale' needs a number from 1 to 8");
            request.scale = *scale;
            scaleGiven = true;
        } else if (argument == "--size") {
            const auto size = ReadNumber(value, 1, 2048);
            if (!size) return Usage("'--size' needs a number from 1 to 2048");
            request.size = *size;
        } else if (argument == "--from") {
            const auto from = ReadAddress(value);
            if (!from) return Usage("'--from' needs an address from 0 to 65535 (or 0x0 to 0xFFFF)");
            request.from = *from;
        } else if (argument == "--entry") {
            if (value.empty()) return Usage("'--entry' needs an entry's name");
            request.entry = value;
        } else if (argument == "--no-raw") {
            request.showRaw = false;
        } else if (argument == "--json" || argument == "--json-lines") {
            // Two layouts of the same JSON: a command line giving both asks for neither.
            const bool lines = argument == "--json-lines";
            if (request.json && request.jsonLines != lines)
                return Usage("choose '--json' or '--json-lines', not both");
            request.json = true;
            request.jsonLines = lines;
        } else if (argument == "--scr") {
            request.rawScreen = true;
        } else if (argument == "--keep-flag") {
            request.keepFlag = true;
        }
    }

    using enum ConsoleCommand;
    const bool writesFile =
        request.command == Screen || request.command == Bytes || request.command == Thumbnail;
    if (writesFile) {
        if (files.size() != 2) return Usage(std::string(first) + " takes one tape and one output");
        request.output = files[1];
        files.pop_back();
    } else if (request.command == Convert) {
        if (files.size() != 2) return Usage("convert takes one tape and one output");
        request.output = files[1];
        files.pop_back();
        if (!request.format) request.format = FormatOfName(request.output);
        if (!request.format) {
            return Usage(
                "convert needs '--to tap' or '--to tzx' for an output named neither "
                ".tap nor .tzx");
        }
    } else if (request.command == Record && request.listDevices) {
        if (!files.empty() || request.seconds || !request.device.empty())
            return Usage("'--list-devices' takes nothing else");
    } else if (request.command == Record) {
        if (files.size() != 1) return Usage("record takes one output");
        request.output = files[0];
        files.clear();
        request.format = FormatOfName(request.output);
        if (!request.format) return Usage("record needs an output named .tap or .tzx");
    } else if (request.command == Wav) {
        if (files.size() != 1) return Usage("wav takes one tape");
        if (request.output.empty()) return Usage("wav needs '-o OUTPUT'");
    } else if (files.empty()) {
        return Usage("no tape given");
    }
    const bool viewsRow = request.command == Hex || request.command == Basic ||
                          request.command == Disasm || request.command == Variables ||
                          request.command == Array;
    if ((viewsRow || request.command == Details) && files.size() != 1)
        return Usage(std::string(first) + " takes one tape");
    if ((request.command == Screen || request.command == Bytes || viewsRow) && !request.row) {
        return Usage(std::string(first) + " needs '--row'");
    }
    if (request.command == List && request.row && files.size() != 1) {
        return Usage("'--row' is for one tape");
    }
    if (scaleGiven && request.rawScreen) return Usage("'--scale' is for a picture, not '--scr'");
    request.tapes.assign(files.begin(), files.end());
    return request;
}

}  // namespace brisalto
