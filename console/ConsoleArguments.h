// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "ConvertTape.h"

namespace brisalto {

enum class ConsoleCommand {
    Catalogue,
    List,
    Screen,
    Bytes,
    Thumbnail,
    Hex,
    Basic,
    Disasm,
    Variables,
    Array,
    Details,
    Wav,
    Convert,
    Record
};

// What the console program's command line asks for.
struct ConsoleRequest {
    // Set when the program ends at once: kExitGood after --help or --version, whose text goes to
    // standard output; kExitUsage after a wrong command line, whose one line goes to standard
    // error.
    std::optional<int> exitCode;
    std::string text;

    ConsoleCommand command = ConsoleCommand::Catalogue;
    bool showRaw = true;             // catalogue: data rows as well as headers
    bool json = false;               // catalogue, variables, array, details: JSON, not text
    bool jsonLines = false;          // catalogue: one JSON object per line, no array around them
    std::optional<std::size_t> row;  // the row asked for (wav: --from-row), counted from 1
    unsigned scale = 1;              // screen: each Spectrum pixel as scale x scale
    bool rawScreen = false;          // screen: the 6,912 bytes instead of a PNG
    bool keepFlag = false;           // bytes: flag and checksum kept
    std::optional<unsigned> from;    // disasm: the address to start at (0 to 65535)
    unsigned size = 256;             // thumbnail: width of the picture in pixels
    unsigned rate = 44'100;          // wav: samples per second
    unsigned bits = 8;               // wav: bits per sample, 8 or 16
    std::vector<std::string> tapes;  // in command line order
    std::string entry;               // the one archive entry to read; empty: every tape
    std::string output;  // screen, bytes, thumbnail, wav, convert: the file to write; "-" stdout
    std::optional<TapeFormat> format;  // convert: --to, else the output's suffix; record: suffix
    std::optional<unsigned> seconds;   // record: how long, else until Ctrl+C
    std::string device;                // record: the sound input to record from; empty: default
    bool listDevices = false;          // record: list the sound inputs instead of recording
    // What carries out the command; returns the exit status (ExitStatus.h).
    int (*run)(const ConsoleRequest&) = nullptr;
};

// Reads the program's arguments, the program's own name first, with CLI11: every command's
// options and help come from its definition beside what it does (CommandLine.h).
ConsoleRequest ReadConsoleArguments(std::span<const std::string_view> arguments);

}  // namespace brisalto
