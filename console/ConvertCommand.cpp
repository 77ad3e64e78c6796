// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConvertCommand.h"

#include <cstdio>
#include <exception>
#include <string>

#include "CommandLine.h"
#include "ConsoleCommands.h"
#include "ConsoleTapes.h"
#include "ConvertTape.h"
#include "DamagedTapeText.h"
#include "ExitStatus.h"
#include "FailureText.h"
#include "LeftOutText.h"
#include "OutputFile.h"
#include "RecordingDamage.h"
#include "StandardInputTape.h"

namespace brisalto {

int ConvertTapeFile(const ConsoleRequest& request, const ConsoleTape& tape) {
    try {
        const TapeDocument document = ReadConsoleDocument(tape.location);
        const ConvertedTape converted =
            ConvertTape(document, request.format.value_or(TapeFormat::Tzx));
        WriteWholeFile(request.output, converted.bytes, tape.location.path);
        if (!converted.leftOut.empty())
            Complain(tape.name + ": " + LeftOutSentence(converted.leftOut));
        if (converted.damaged) {
            Complain(tape.name + ": " + DamagedTapeText(document, kSavedBeforeDamageText));
            return kExitDamaged;
        }
        return kExitGood;
    } catch (const OutputError& failure) {
        Complain(failure.what());
    } catch (const std::exception& failure) {
        Complain(tape.name + ": " + FailureText(failure.what()));
    }
    return kExitFailure;
}

namespace {

int Convert(const ConsoleRequest& request) {
    Outcome outcome;
    const auto tape = OneTape(request, outcome);
    return tape ? ConvertTapeFile(request, *tape) : outcome.Status();
}

}  // namespace

void AddConvertCommand(CommandLine& line) {
    ConsoleRequest& request = line.request;
    line.AddCommand(
            "convert", "TAPE OUTPUT",
            "The tape as a TAP or TZX file, the format from --to or else OUTPUT's suffix: a\n"
            "TZX of a TAP converts back to the same TAP; a TAP of a TZX keeps its data blocks,\n"
            "and what a TAP cannot hold (tones, pauses, texts...) is named on standard error.\n"
            "A damaged tape gives its whole blocks before the damage.",
            ConsoleCommand::Convert, Convert,
            [](std::vector<std::string>& operands, ConsoleRequest& given) {
                if (operands.size() != 2)
                    throw UsageProblem("convert takes one tape and one output");
                given.tapes = {operands[0]};
                given.output = operands[1];
                if (!given.format) given.format = FormatOfName(given.output);
                if (!given.format) {
                    throw UsageProblem(
                        "convert needs '--to tap' or '--to tzx' for an output named neither "
                        ".tap nor .tzx");
                }
            })
        .add_option_function<std::string>(
            "--to",
            [&request](const std::string& value) {
                request.format = ReadFormat(value);
                if (!request.format) throw UsageProblem("'--to' needs tap or tzx");
            },
            "The format to write.")
        ->type_name("tap|tzx");
}

}  // namespace brisalto
