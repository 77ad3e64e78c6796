// SPDX-License-Identifier: GPL-3.0-or-later
// list: the BASIC text of a tape's programs.
#include <exception>
#include <string>
#include <vector>

#include "BlockViewChoice.h"
#include "CodePageText.h"
#include "ConsoleCommands.h"
#include "ConsoleTapes.h"
#include "FailureText.h"
#include "LineSink.h"
#include "ListBasicProgram.h"
#include "TapeBlock.h"
#include "TapeDocument.h"

namespace brisalto {

namespace {

// Listing lines as UTF-8 text, one per line.
class TextLines final : public LineSink {
public:
    void AddLine(std::string_view line) override {
        text += CodePageToUtf8(line);
        text += '\n';
    }
    std::string text;
};

int List(const ConsoleRequest& request) {
    Outcome outcome;
    bool printed = false;
    const auto list = [&](const ConsoleTape& tape, bool several) {
        TapeScan scan;
        ReadForConsole(tape.location, true, scan);
        std::vector<std::size_t> programs;  // row numbers
        if (request.row) {
            const CatalogueRow* row = FindRow(tape.name, scan, *request.row, outcome);
            if (row == nullptr) return;
            if (row->Tipo == 0 && row->Flag == kHeaderFlag) {
                // A Program header: its program is the data row right after it, if any.
                const std::size_t next = *request.row + 1;
                const bool follows =
                    next <= scan.catalogue.RowCount() && IsProgram(scan.catalogue, next - 1);
                Complain(tape.name, RowName(*request.row) + " is a Program header; " +
                                        (follows ? "its program is " + RowName(next)
                                                 : std::string("no program follows it")));
                outcome.Failed();
                return;
            }
            if (!IsProgram(scan.catalogue, *request.row - 1)) {
                Complain(tape.name, RowName(*request.row) + " is not a BASIC program");
                outcome.Failed();
                return;
            }
            programs.push_back(*request.row);
        } else {
            for (std::size_t index = 0; index < scan.catalogue.RowCount(); ++index) {
                if (IsProgram(scan.catalogue, index)) programs.push_back(index + 1);
            }
        }
        const bool headed = several || programs.size() > 1;
        for (const std::size_t number : programs) {
            const CatalogueRow& row = scan.catalogue.Row(number - 1);
            TextLines lines;
            try {
                ListBasicProgram(*scan.document, row.Position, row.Par1.value_or(0), lines);
            } catch (const std::exception& failure) {
                Complain(tape.name, RowName(number) + ": " + FailureText(failure.what()));
                outcome.Failed();
                continue;
            }
            if (headed) {
                Print((printed ? "\n==> " : "==> ") + tape.name + ", " + RowName(number) +
                      " <==\n");
            }
            Print(lines.text);
            printed = true;
        }
        if (!request.row) ReportScanEnd(tape.name, scan, outcome);
    };
    if (request.row) {
        if (const auto tape = OneTape(request, outcome)) list(*tape, false);
    } else {
        ForEachTape(request, outcome, list);
    }
    return outcome.Status();
}

}  // namespace

void AddListCommand(CommandLine& line) {
    CLI::App& command =
        line.AddCommand("list", "TAPE...",
                        "The BASIC text of the program in row N, or of every program on the tape.",
                        ConsoleCommand::List, List,
                        [](std::vector<std::string>& operands, ConsoleRequest& request) {
                            if (operands.empty()) throw UsageProblem("no tape given");
                            if (request.row && operands.size() != 1)
                                throw UsageProblem("'--row' is for one tape");
                            request.tapes = operands;
                        });
    AddRowOption(command, line.request, "The program's row, counted from 1.");
}

}  // namespace brisalto
