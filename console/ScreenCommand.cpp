// SPDX-License-Identifier: GPL-3.0-or-later
// screen: a row's loading screen as a PNG picture or its 6,912 bytes.
#include <array>

#include "ConsoleCommands.h"
#include "ConsoleTapes.h"
#include "DecodeScreen.h"
#include "ExitStatus.h"
#include "FindScreen.h"
#include "RowOutput.h"
#include "ScreenPng.h"
#include "TapeDocument.h"

namespace brisalto {

namespace {

// The screen the request's row takes part in, wherever the tape keeps it (see FindScreen): a
// block of 6,912 data bytes under any flag, or either half of a screen split over two blocks.
int Screen(const ConsoleRequest& request) {
    Outcome outcome;
    const auto found = RequestedRow(request, outcome);
    if (!found) return outcome.Status();
    const TapeScan& scan = found->scan;
    const std::vector<ScreenPlace> screens = CouldHoldScreen(found->row->Length)
                                                 ? FindScreens(scan.document->blocks)
                                                 : std::vector<ScreenPlace>();
    const ScreenPlace* place = ScreenOfRow(screens, *found->row);
    if (place == nullptr) {
        Complain(found->tape.name,
                 RowName(*request.row) + " is not a screen (a 6,912-byte data block)");
        return kExitFailure;
    }
    const unsigned scale = request.scale;
    WriteRowOutput(
        request, found->tape, *request.row,
        [&] {
            const std::array<std::uint8_t, kScreenBytes> screen =
                ReadScreenBytes(*scan.document, *place);
            if (request.rawScreen) return std::vector<std::uint8_t>(screen.begin(), screen.end());
            ScreenPixels pixels;
            DecodeScreen(screen, pixels);
            return ScreenPng(pixels, kScreenWidth * scale, kScreenHeight * scale);
        },
        outcome);
    return outcome.Status();
}

}  // namespace

void AddScreenCommand(CommandLine& line) {
    ConsoleRequest& request = line.request;
    CLI::App& command = line.AddCommand(
        "screen", "TAPE OUTPUT",
        "The 6,912-byte data block in row N as a PNG picture (K times 256x192, K up to 8),\n"
        "or with --scr its 6,912 bytes.",
        ConsoleCommand::Screen, Screen,
        [](std::vector<std::string>& operands, ConsoleRequest& given) {
            TapeAndOutput(operands, given, "screen");
        });
    line.Needed(AddRowOption(command, request, "The screen's row, counted from 1."));
    CLI::Option* scale = command
                             .add_option_function<std::string>(
                                 "--scale",
                                 [&request](const std::string& value) {
                                     request.scale = ReadNumberFrom("--scale", value, 1, 8);
                                 },
                                 "Each Spectrum pixel as K x K pixels.")
                             ->type_name("K");
    command
        .add_flag_callback(
            "--scr", [&request] { request.rawScreen = true; }, "The 6,912 bytes, not a picture.")
        ->excludes(scale);
}

}  // namespace brisalto
