// SPDX-License-Identifier: GPL-3.0-or-later
// thumbnail: a tape's loading screen as a small PNG, for file managers.
#include <algorithm>
#include <exception>
#include <vector>

#include "ConsoleCommands.h"
#include "ConsoleTapes.h"
#include "DecodeScreen.h"
#include "FailureText.h"
#include "FindScreen.h"
#include "OutputFile.h"
#include "ScreenPng.h"
#include "TapeDocument.h"

namespace brisalto {

namespace {

// How a failure names the screen: by its first block's row, or by its place for a block the
// rows do not list (a flag neither 0 nor 255).
std::string ScreenName(const TapeScan& scan, const ScreenPlace& place) {
    for (std::size_t index = 0; index < scan.catalogue.RowCount(); ++index) {
        if (scan.catalogue.Row(index).Position == place.first.position)
            return RowName(scan.numbers[index]);
    }
    return "the block at byte " + std::to_string(place.first.position);
}

// The tape's first screen, wherever it keeps it (see FindScreen), as a PNG.
int Thumbnail(const ConsoleRequest& request) {
    Outcome outcome;
    const auto tape = OneTape(request, outcome);
    if (!tape) return outcome.Status();
    TapeScan scan;
    ReadForConsole(tape->location, true, scan);
    const std::vector<ScreenPlace> screens =
        scan.document ? FindScreens(scan.document->blocks) : std::vector<ScreenPlace>();
    if (!screens.empty()) {
        // The screen's shape, 4:3, at the width asked for.
        const unsigned height = std::max(1u, (request.size * 3 + 2) / 4);
        try {
            ScreenPixels pixels;
            DecodeScreen(ReadScreenBytes(*scan.document, screens.front()), pixels);
            WriteWholeFile(request.output, ScreenPng(pixels, request.size, height),
                           tape->location.path);
        } catch (const OutputError& failure) {
            ComplainOfOutput(failure);
            outcome.Failed();
        } catch (const std::exception& failure) {
            Complain(tape->name,
                     ScreenName(scan, screens.front()) + ": " + FailureText(failure.what()));
            outcome.Failed();
        }
        return outcome.Status();
    }
    if (!scan.Good()) {
        ReportScanEnd(tape->name, scan, outcome);
    } else {
        Complain(tape->name, "holds no loading screen (a 6,912-byte data block)");
        outcome.Failed();
    }
    return outcome.Status();
}

}  // namespace

void AddThumbnailCommand(CommandLine& line) {
    ConsoleRequest& request = line.request;
    line.AddCommand(
            "thumbnail", "TAPE OUTPUT",
            "The tape's loading screen, its first 6,912-byte data block, as a PNG picture N\n"
            "pixels wide (256 unless given, at most 2048); nothing for a tape without one.",
            ConsoleCommand::Thumbnail, Thumbnail,
            [](std::vector<std::string>& operands, ConsoleRequest& given) {
                TapeAndOutput(operands, given, "thumbnail");
            })
        .add_option_function<std::string>(
            "--size",
            [&request](const std::string& value) {
                request.size = ReadNumberFrom("--size", value, 1, 2048);
            },
            "The picture's width in pixels.")
        ->type_name("N");
}

}  // namespace brisalto
