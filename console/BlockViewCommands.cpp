// SPDX-License-Identifier: GPL-3.0-or-later
// hex, basic, disasm, variables, array: the Block View's views of a row, as text.
#include <charconv>
#include <exception>
#include <optional>

#include "BlockViews.h"
#include "ConsoleCommands.h"
#include "ConsoleTapes.h"
#include "ExitStatus.h"
#include "FailureText.h"

namespace brisalto {

namespace {

int ViewRow(const ConsoleRequest& request) {
    Outcome outcome;
    const auto found = RequestedRow(request, outcome);
    if (!found) return outcome.Status();
    try {
        const BlockViewText view =
            ViewBlock(request, found->scan.catalogue, *request.row - 1, *found->scan.document);
        if (!view.problem.empty()) {
            Complain(found->tape.name, RowName(*request.row) + " " + view.problem);
            return kExitFailure;
        }
        Print(view.text);
    } catch (const std::exception& failure) {
        Complain(found->tape.name, RowName(*request.row) + ": " + FailureText(failure.what()));
        outcome.Failed();
    }
    return outcome.Status();
}

void OneTapeOperand(std::vector<std::string>& operands, ConsoleRequest& request,
                    const std::string& command) {
    if (operands.empty()) throw UsageProblem("no tape given");
    if (operands.size() != 1) throw UsageProblem(command + " takes one tape");
    request.tapes = operands;
}

CLI::App& AddView(CommandLine& line, const std::string& name, const std::string& about,
                  ConsoleCommand view) {
    CLI::App& command =
        line.AddCommand(name, "TAPE", about, view, ViewRow,
                        [name](std::vector<std::string>& operands, ConsoleRequest& request) {
                            OneTapeOperand(operands, request, name);
                        });
    line.Needed(AddRowOption(command, line.request, "The block's row, counted from 1."));
    return command;
}

}  // namespace

void AddBlockViewCommands(CommandLine& line) {
    ConsoleRequest& request = line.request;
    AddView(line, "hex",
            "The bytes of the block in row N, 16 a line with their offsets, flag and checksum\n"
            "in brackets, the characters as the Spectrum shows them beside; for a Bytes block\n"
            "also the address each line loads at.",
            ConsoleCommand::Hex);
    AddView(line, "basic",
            "The program in row N as the Block View's BASIC tab lists it: its lines, then one\n"
            "for each number whose hidden value is not its digits.",
            ConsoleCommand::Basic);
    AddView(line, "disasm",
            "The Z80 instructions of the Bytes block in row N from its load address, or from\n"
            "ADDR within it; any other block's data taken to load at ADDR. ADDR is decimal or\n"
            "0x hex. An instruction the block's end cuts shows its bytes, \"(cut by the block's\n"
            "end)\" and no name.",
            ConsoleCommand::Disasm)
        .add_option_function<std::string>(
            "--from",
            [&request](const std::string& value) {
                std::string_view text = value;
                int base = 10;
                if (text.starts_with("0x") || text.starts_with("0X")) {
                    text.remove_prefix(2);
                    base = 16;
                }
                unsigned address = 0;
                const auto [end, error] =
                    std::from_chars(text.data(), text.data() + text.size(), address, base);
                if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
                    address > 0xFFFF) {
                    throw UsageProblem(
                        "'--from' needs an address from 0 to 65535 (or 0x0 to 0xFFFF)");
                }
                request.from = address;
            },
            "The address to start at.")
        ->type_name("ADDR");
    AddJsonOption(AddView(line, "variables",
                          "The variables stored after the BASIC program in row N, as PRINT "
                          "shows them; where\n"
                          "the bytes stop being variables (code hidden after a program), the "
                          "offset from which\n"
                          "they are not.",
                          ConsoleCommand::Variables),
                  request);
    AddJsonOption(
        AddView(line, "array",
                "The dimensions and every element of the number or character array in row N.",
                ConsoleCommand::Array),
        request);
}

}  // namespace brisalto
