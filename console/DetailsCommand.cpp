// SPDX-License-Identifier: GPL-3.0-or-later
// details: every block of a tape, or the block of a row, with all its fields.
#include <algorithm>
#include <exception>
#include <optional>
#include <vector>

#include "BlockDetails.h"
#include "BlockDetailsJson.h"
#include "ConsoleCommands.h"
#include "ConsoleTapes.h"
#include "ExitStatus.h"
#include "FailureText.h"
#include "RecordingDamage.h"
#include "TapeDocument.h"

namespace brisalto {

namespace {

// Every block of the request's one tape, or the block of its row, as text or JSON, one block at
// a time (a tape may have a million).
int Details(const ConsoleRequest& request) {
    Outcome outcome;
    const auto tape = OneTape(request, outcome);
    if (!tape) return outcome.Status();
    TapeDocument opened;
    try {
        opened = ReadConsoleDocument(tape->location);
        if (opened.failure) std::rethrow_exception(opened.failure);
    } catch (const std::exception& failure) {
        Complain(tape->name, FailureText(failure.what()));
        return kExitFailure;
    }
    const bool damaged = opened.result == ScanResult::Damaged;
    const std::vector<std::optional<std::size_t>> rows = BlockRows(opened);
    std::size_t first = 0;
    std::size_t end = rows.size();
    if (request.row) {
        const auto found = std::find(rows.begin(), rows.end(), request.row);
        if (found == rows.end()) {
            const auto count = std::count_if(rows.begin(), rows.end(),
                                             [](const auto& row) { return row.has_value(); });
            Complain(tape->name, damaged ? DamagedTapeLine(opened)
                                         : "has no " + RowName(*request.row) + " (it has " +
                                               std::to_string(count) + " rows)");
            return damaged ? kExitDamaged : kExitFailure;
        }
        first = static_cast<std::size_t>(found - rows.begin());
        end = first + 1;
    }
    if (request.json) Print("{\"blocks\": [");
    for (std::size_t index = first; index < end; ++index) {
        const BlockDetail detail = DetailOf(opened, index, rows[index]);
        if (request.json) {
            Print((index > first ? ",\n  " : "\n  ") + BlockDetailJson(detail));
            continue;
        }
        if (index > first) Print("\n");
        for (const std::string& line : BlockDetailLines(detail)) Print(line + '\n');
    }
    if (request.json) Print(first < end ? "\n]}\n" : "]}\n");
    if (!request.row && damaged) {
        Complain(tape->name, DamagedTapeLine(opened));
        outcome.Damaged();
    }
    return outcome.Status();
}

}  // namespace

void AddDetailsCommand(CommandLine& line) {
    CLI::App& command = line.AddCommand(
        "details", "TAPE",
        "Every block of the tape in file order, the grid's rows and the blocks it never\n"
        "lists: its TZX ID and name, timings in T-states, pauses, counts, texts, jumps,\n"
        "loops, symbol tables, and a data block's flag and checksum, stated and computed;\n"
        "with --row N the block of that row only.",
        ConsoleCommand::Details, Details,
        [](std::vector<std::string>& operands, ConsoleRequest& request) {
            if (operands.empty()) throw UsageProblem("no tape given");
            if (operands.size() != 1) throw UsageProblem("details takes one tape");
            request.tapes = operands;
        });
    AddRowOption(command, line.request, "The block of this row only, counted from 1.");
    AddJsonOption(command, line.request);
}

}  // namespace brisalto
