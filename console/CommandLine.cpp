// SPDX-License-Identifier: GPL-3.0-or-later
#include "CommandLine.h"

#include <algorithm>
#include <charconv>

#include "ConsoleCommands.h"
#include "ConsoleHelp.h"
#include "ExitStatus.h"
#include "LicenceNotice.h"

namespace brisalto {

namespace {

ConsoleRequest Ended(int code, std::string text) {
    ConsoleRequest request;
    request.exitCode = code;
    request.text = std::move(text);
    return request;
}

ConsoleRequest Usage(std::string_view problem) {
    return Ended(kExitUsage, "brisalto-tape: " + std::string(problem) +
                                 " (brisalto-tape --help shows the usage)\n");
}

void OneOrMoreTapes(std::vector<std::string>& operands, ConsoleRequest& request) {
    if (operands.empty()) throw UsageProblem("no tape given");
    request.tapes = operands;
}

// How a command line names an option: an option of a single dash by its value too.
std::string NameOf(const CLI::Option* option) {
    std::string name = option->get_name();
    if (!name.starts_with("--")) name += ' ' + option->get_type_name();
    return name;
}

// Two options given that exclude each other, in the words of the usage line.
std::string ExclusionProblem(const CLI::App& command) {
    const std::vector<const CLI::Option*> options = command.get_options();
    for (const CLI::Option* option : options) {
        if (option->count() == 0) continue;
        for (const CLI::Option* other : options) {
            if (other == option || other->count() == 0) continue;
            if (option->get_excludes().count(const_cast<CLI::Option*>(other)) == 0) continue;
            // One that excludes every other is a usage of its own.
            const auto standsAlone = [&](const CLI::Option* which) {
                return std::all_of(options.begin(), options.end(), [&](const CLI::Option* o) {
                    return o == which || o == command.get_help_ptr() ||
                           o->get_group() == kEveryCommand ||
                           which->get_excludes().count(const_cast<CLI::Option*>(o)) > 0;
                });
            };
            if (standsAlone(option)) return "'" + option->get_name() + "' takes nothing else";
            if (standsAlone(other)) return "'" + other->get_name() + "' takes nothing else";
            return "choose '" + option->get_name() + "' or '" + other->get_name() + "', not both";
        }
    }
    return "options given together that exclude each other";
}

const CLI::App* ChosenCommand(const CLI::App& app) {
    const std::vector<const CLI::App*> chosen = app.get_subcommands({});
    const auto found = std::find_if(chosen.begin(), chosen.end(),
                                    [](const CLI::App* command) { return command->parsed(); });
    return found == chosen.end() ? nullptr : *found;
}

}  // namespace

CommandLine::CommandLine(ConsoleRequest& given)
    : request(given),
      app("Reads ZX Spectrum tape images (TAP, TZX) without a window.", "brisalto-tape") {
    app.set_help_flag("-h,--help", "Shows this help and ends.");
    app.add_flag("--version")->description("Shows the version and ends.");
    app.allow_extras();
    // A TAPE may be named /tmp/game.tap on Windows too (under Wine): no "/option" there.
    app.allow_windows_style_options(false);
    // As the command line always read: an option given twice means the last; a flag takes no
    // value (--json=8 is refused).
    app.option_defaults()->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);
    app.option_defaults()->disable_flag_override();
    // One command: a command's name after it is one of its operands.
    app.require_subcommand(0, 1);
}

CLI::App& CommandLine::AddCommand(const std::string& name, const std::string& operands,
                                  const std::string& about, ConsoleCommand command, CommandRun run,
                                  CommandOperands takeOperands) {
    CLI::App& added = *app.add_subcommand(name, about);
    added.allow_extras();
    added.allow_windows_style_options(false);
    Command& shape = commands[&added];
    shape = {operands, command, run, takeOperands ? takeOperands : OneOrMoreTapes, {}};
    added.add_option("operands", shape.given)->group(std::string(kEveryCommand));
    added
        .add_option_function<std::string>(
            "--entry",
            [this](const std::string& value) {
                if (value.empty()) throw UsageProblem("'--entry' needs an entry's name");
                request.entry = value;
            },
            "The one archive entry to read.")
        ->type_name("ENTRY")
        ->group(std::string(kEveryCommand));
    return added;
}

CLI::Option* CommandLine::Needed(CLI::Option* option) {
    needed.insert(option);
    return option;
}

std::size_t ReadRowNumber(std::string_view option, const std::string& text) {
    std::size_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < 1 ||
        value > 0xFFFFFFFFu)
        throw UsageProblem("'" + std::string(option) + "' needs a row number from 1 up");
    return value;
}

unsigned ReadNumberFrom(std::string_view option, const std::string& text, unsigned low,
                        unsigned high) {
    unsigned value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size() || value < low || value > high) {
        throw UsageProblem("'" + std::string(option) + "' needs a number from " +
                           std::to_string(low) + " to " + std::to_string(high));
    }
    return value;
}

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

CLI::Option* AddRowOption(CLI::App& command, ConsoleRequest& request, const std::string& about) {
    return command
        .add_option_function<std::string>(
            "--row",
            [&request](const std::string& value) { request.row = ReadRowNumber("--row", value); },
            about)
        ->type_name("N");
}

CLI::Option* AddJsonOption(CLI::App& command, ConsoleRequest& request) {
    return command.add_flag_callback(
        "--json", [&request] { request.json = true; }, "JSON instead of text.");
}

void TapeAndOutput(std::vector<std::string>& operands, ConsoleRequest& request,
                   const std::string& command) {
    if (operands.size() != 2) throw UsageProblem(command + " takes one tape and one output");
    request.tapes = {operands[0]};
    request.output = operands[1];
}

ConsoleRequest ReadConsoleArguments(std::span<const std::string_view> arguments) {
    if (arguments.size() < 2) return Usage("no command given");
    ConsoleRequest request;
    CommandLine line(request);
    AddConsoleCommands(line);
    // CLI11 takes the arguments last first, without the program's name.
    std::vector<std::string> given(arguments.rbegin(), arguments.rend() - 1);
    const CLI::App* chosen = nullptr;
    try {
        try {
            line.app.parse(given);
        } catch (const CLI::CallForHelp&) {
            const CLI::App* command = ChosenCommand(line.app);
            return Ended(kExitGood,
                         command != nullptr ? CommandHelp(line, *command) : ProgramHelp(line));
        } catch (const CLI::ExcludesError&) {
            chosen = ChosenCommand(line.app);
            if (chosen == nullptr) throw;
            throw UsageProblem(ExclusionProblem(*chosen));
        }
        if (line.app.get_option("--version")->count() > 0) {
            return Ended(kExitGood,
                         std::string("brisalto-tape " BRISALTO_VERSION "\n") + kLicenceNotice);
        }
        chosen = ChosenCommand(line.app);
        if (chosen == nullptr) {
            const std::vector<std::string> left = line.app.remaining();
            if (left.empty()) return Usage("no command given");
            return Usage("unknown command '" + left.front() + "'");
        }
        for (const std::string& word : chosen->remaining()) {
            if (word.starts_with("-") && word != "-" && word != "--") {
                return Usage("'" + word.substr(0, word.find('=')) + "' is not an option of " +
                             chosen->get_name());
            }
        }
        CommandLine::Command& command = line.commands.at(chosen);
        request.command = command.command;
        request.run = command.run;
        command.takeOperands(command.given, request);
        for (const CLI::Option* option : chosen->get_options()) {
            if (line.needed.count(option) > 0 && option->count() == 0)
                return Usage(chosen->get_name() + " needs '" + NameOf(option) + "'");
        }
    } catch (const UsageProblem& problem) {
        return Usage(problem.what());
    } catch (const CLI::ArgumentMismatch& problem) {
        // CLI11 says "NAME: ...": an option without its value, or a flag given one.
        const std::string text = problem.what();
        const std::string name = text.substr(0, text.find(':'));
        if (text.find("missing") != std::string::npos) return Usage("'" + name + "' needs a value");
        if (text.find("flag override") != std::string::npos)
            return Usage("'--" + text.substr(0, text.find(' ')) + "' takes no value");
        return Usage(text);
    } catch (const CLI::ParseError& problem) {
        return Usage(problem.what());
    }
    return request;
}

}  // namespace brisalto
