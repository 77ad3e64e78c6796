// SPDX-License-Identifier: GPL-3.0-or-later
// wav: the tape's sound as a WAV file (WavCommand.cpp), in a build that makes sound.
#include <cstdio>

#include "ConsoleCommands.h"
#include "ConsoleTapes.h"
#include "ExitStatus.h"
#ifdef BRISALTO_HAS_SOUND
#include "WavCommand.h"
#endif

namespace brisalto {

namespace {

int Wav(const ConsoleRequest& request) {
#ifdef BRISALTO_HAS_SOUND
    Outcome outcome;
    const auto tape = OneTape(request, outcome);
    return tape ? WriteTapeWav(request, *tape) : outcome.Status();
#else
    (void)request;
    std::fputs("brisalto-tape: this build cannot make sound\n", stderr);
    return kExitFailure;
#endif
}

}  // namespace

void AddWavCommand(CommandLine& line) {
    ConsoleRequest& request = line.request;
    CLI::App& command = line.AddCommand(
        "wav", "TAPE",
        "The tape's sound as a WAV file, as a tape deck plays it into a Spectrum: from its\n"
        "start, or from row N; R samples a second (44100 unless given, 8000 to 192000),\n"
        "8-bit unless --bits 16. Its length is the tape's.",
        ConsoleCommand::Wav, Wav, [](std::vector<std::string>& operands, ConsoleRequest& given) {
            if (operands.size() != 1) throw UsageProblem("wav takes one tape");
            given.tapes = operands;
        });
    command
        .add_option_function<std::string>(
            "--from-row",
            [&request](const std::string& value) {
                request.row = ReadRowNumber("--from-row", value);
            },
            "The row to start from, counted from 1.")
        ->type_name("N");
    command
        .add_option_function<std::string>(
            "--rate",
            [&request](const std::string& value) {
                request.rate = ReadNumberFrom("--rate", value, 8000, 192000);
            },
            "Samples a second.")
        ->type_name("R");
    command
        .add_option_function<std::string>(
            "--bits",
            [&request](const std::string& value) {
                if (value != "8" && value != "16") throw UsageProblem("'--bits' needs 8 or 16");
                request.bits = value == "8" ? 8 : 16;
            },
            "Bits a sample.")
        ->type_name("8|16");
    line.Needed(command
                    .add_option_function<std::string>(
                        "-o",
                        [&request](const std::string& value) {
                            if (value.empty()) throw UsageProblem("'-o' needs a file name");
                            request.output = value;
                        },
                        "The WAV file to write.")
                    ->type_name("OUTPUT"));
}

}  // namespace brisalto
