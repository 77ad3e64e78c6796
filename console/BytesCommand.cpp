// SPDX-License-Identifier: GPL-3.0-or-later
// bytes: the data of a row's block.
#include "BlockBytes.h"
#include "ConsoleCommands.h"
#include "ConsoleTapes.h"
#include "RowOutput.h"
#include "TapeDocument.h"

namespace brisalto {

namespace {

int Bytes(const ConsoleRequest& request) {
    Outcome outcome;
    const auto found = RequestedRow(request, outcome);
    if (!found) return outcome.Status();
    WriteRowOutput(
        request, found->tape, *request.row,
        [&] {
            std::vector<std::uint8_t> body = BodyAt(*found->scan.document, *found->row);
            return request.keepFlag ? body : BlockData(body);
        },
        outcome);
    return outcome.Status();
}

}  // namespace

void AddBytesCommand(CommandLine& line) {
    ConsoleRequest& request = line.request;
    CLI::App& command = line.AddCommand(
        "bytes", "TAPE OUTPUT",
        "The data of the block in row N; with --keep-flag its flag and checksum as well.",
        ConsoleCommand::Bytes, Bytes,
        [](std::vector<std::string>& operands, ConsoleRequest& given) {
            TapeAndOutput(operands, given, "bytes");
        });
    line.Needed(AddRowOption(command, request, "The block's row, counted from 1."));
    command.add_flag_callback(
        "--keep-flag", [&request] { request.keepFlag = true; }, "The flag and checksum as well.");
}

}  // namespace brisalto
