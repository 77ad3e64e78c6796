// SPDX-License-Identifier: GPL-3.0-or-later
#include "RowOutput.h"

#include <exception>

#include "FailureText.h"
#include "OutputFile.h"

namespace brisalto {

void WriteRowOutput(const ConsoleRequest& request, const ConsoleTape& tape, std::size_t number,
                    const std::function<std::vector<std::uint8_t>()>& make, Outcome& outcome) {
    try {
        const std::vector<std::uint8_t> bytes = make();
        WriteWholeFile(request.output, bytes, tape.location.path);
    } catch (const OutputError& failure) {
        ComplainOfOutput(failure);
        outcome.Failed();
    } catch (const std::exception& failure) {
        Complain(tape.name, RowName(number) + ": " + FailureText(failure.what()));
        outcome.Failed();
    }
}

}  // namespace brisalto
