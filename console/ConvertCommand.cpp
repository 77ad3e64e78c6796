// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConvertCommand.h"

#include <cstdio>
#include <exception>
#include <string>

#include "ConvertTape.h"
#include "DamagedTapeText.h"
#include "ExitStatus.h"
#include "FailureText.h"
#include "LeftOutText.h"
#include "OutputFile.h"
#include "RecordingDamage.h"
#include "StandardInputTape.h"

namespace brisalto {

namespace {

void Complain(const std::string& text) {
    std::fflush(stdout);
    std::fprintf(stderr, "brisalto-tape: %s\n", ForPeople(text).c_str());
}

}  // namespace

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

}  // namespace brisalto
