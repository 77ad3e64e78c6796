// SPDX-License-Identifier: GPL-3.0-or-later
// catalogue: the blocks of each tape as the window's catalogue lists them, as text or JSON.
#include <functional>
#include <string>
#include <vector>

#include "CatalogueJson.h"
#include "CatalogueText.h"
#include "CodePageText.h"
#include "ConsoleCommands.h"
#include "ConsoleTapes.h"
#include "StandardInputTape.h"
#include "TzxTexts.h"

namespace brisalto {

namespace {

// JSON text on one line: the line breaks that lay it out, and the indent after them, left out
// (JSON strings hold their line breaks escaped, so every raw one is layout).
class OneLineJson {
public:
    void operator()(std::string_view text) {
        std::string line;
        line.reserve(text.size());
        while (!text.empty()) {
            if (afterBreak_) {
                const std::size_t indent = text.find_first_not_of(' ');
                if (indent == std::string_view::npos) break;
                text.remove_prefix(indent);
                afterBreak_ = false;
            }
            const std::size_t end = text.find('\n');
            line.append(text.substr(0, end));
            if (end == std::string_view::npos) break;
            text.remove_prefix(end + 1);
            afterBreak_ = true;
        }
        Print(line);
    }

private:
    bool afterBreak_ = false;
};

int Catalogue(const ConsoleRequest& request) {
    Outcome outcome;
    bool first = true;
    OneLineJson oneLine;
    const TextWriter writeJson =
        request.jsonLines ? TextWriter(std::ref(oneLine)) : TextWriter(Print);
    const auto writeObject = [&](const ConsoleTape& tape, const TapeScan& scan) {
        if (!request.jsonLines) Print(first ? "\n" : ",\n");
        WriteCatalogueJson(tape, scan, writeJson);
        if (request.jsonLines) Print("\n");
        first = false;
    };
    if (request.json && !request.jsonLines) Print("[");
    // A file that is no tape still has its object, so that a script sees every file it named.
    const auto failedObject = [&](const std::string& path, const std::string& text) {
        if (!request.json) return;
        TapeScan scan;
        scan.failure = text;
        writeObject({ShownPath(path), path}, scan);
    };
    ForEachTape(
        request, outcome,
        [&](const ConsoleTape& tape, bool several) {
            if (request.json) {
                TapeScan scan;
                ScanForConsole(tape.location, request.showRaw, scan);
                writeObject(tape, scan);
                ReportScanEnd(tape.name, scan, outcome);
                return;
            }
            if (several) Print((first ? "==> " : "\n==> ") + tape.name + " <==\n");
            first = false;
            CatalogueLines lines(Print);
            ScanEnd scan;
            ScanRowsForConsole(tape.location, request.showRaw, lines, scan);
            lines.Finish(scan.result.has_value());
            if (const std::vector<std::string> texts = TzxTextLines(scan.details.texts);
                !texts.empty()) {
                std::string text = "\n";
                for (const std::string& line : texts) text += CodePageToUtf8(line) + '\n';
                Print(text);
            }
            ReportScanEnd(tape.name, scan, outcome);
        },
        failedObject);
    if (request.json && !request.jsonLines) Print(first ? "]\n" : "\n]\n");
    return outcome.Status();
}

}  // namespace

void AddCatalogueCommand(CommandLine& line) {
    ConsoleRequest& request = line.request;
    CLI::App& command = line.AddCommand(
        "catalogue", "TAPE|FOLDER...",
        "The blocks of each tape as the window's catalogue lists them, one numbered row\n"
        "each; with --no-raw only the headers (as \"Show Raw Blocks\" off), with --json\n"
        "every field in full, the tape's size and SHA-1, and a TZX tape's archive\n"
        "information and descriptions; --json-lines gives one object per line instead of\n"
        "an array. A FOLDER stands for every tape, recording and archive below it, in name\n"
        "order.\n"
        "Rows keep one numbering everywhere: a row's place with raw blocks shown.",
        ConsoleCommand::Catalogue, Catalogue);
    command.add_flag_callback(
        "--no-raw", [&request] { request.showRaw = false; }, "Only the headers' rows.");
    CLI::Option* json = AddJsonOption(command, request);
    command
        .add_flag_callback(
            "--json-lines",
            [&request] {
                request.json = true;
                request.jsonLines = true;
            },
            "One JSON object a line, no array around them.")
        ->excludes(json);
}

}  // namespace brisalto
