// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConsoleCommands.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "BlockBytes.h"
#include "BlockDetails.h"
#include "BlockDetailsJson.h"
#include "BlockTip.h"
#include "BlockViewChoice.h"
#include "BlockViews.h"
#include "CatalogueJson.h"
#include "CatalogueText.h"
#include "CodePageText.h"
#include "ConvertCommand.h"
#include "DecodeScreen.h"
#include "ExitStatus.h"
#include "FailureText.h"
#include "FindScreen.h"
#include "IsRecording.h"
#include "LineSink.h"
#include "ListBasicProgram.h"
#include "OutputFile.h"
#include "ProgramStart.h"
#include "RecordCommand.h"
#include "RecordingDamage.h"
#include "ScanTape.h"
#include "ScreenPng.h"
#include "StandardInputTape.h"
#include "TapeArchive.h"
#include "TapeBlock.h"
#include "TapeDigest.h"
#include "TapeDocument.h"
#include "TapeScan.h"
#include "TzxTexts.h"
#ifdef BRISALTO_HAS_SOUND
#include "WavCommand.h"
#endif

namespace brisalto {

namespace {

// The worst of what the tapes met, in the order ExitStatus.h gives.
class Outcome {
public:
    void Failed() noexcept { failed_ = true; }
    void Damaged() noexcept { damaged_ = true; }
    int Status() const noexcept {
        if (failed_) return kExitFailure;
        return damaged_ ? kExitDamaged : kExitGood;
    }

private:
    bool failed_ = false;
    bool damaged_ = false;
};

void Print(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

// One line on standard error, after what standard output holds so far.
void Complain(const std::string& about, std::string_view message) {
    std::fflush(stdout);
    const std::string text = ForPeople(std::string(message));
    std::fprintf(stderr, "brisalto-tape: %s: %s\n", about.c_str(), text.c_str());
}

// Tells what stopped a scan, if anything did, and notes it.
void ReportScanEnd(const std::string& tape, const ScanEnd& scan, Outcome& outcome) {
    if (!scan.result) {
        Complain(tape, scan.failure);
        outcome.Failed();
    } else if (*scan.result == ScanResult::Damaged) {
        Complain(tape, DamagedTapeLine(scan.damage));
        outcome.Damaged();
    }
}

std::string RowName(std::size_t number) {
    return "row " + std::to_string(number);
}

// What a command does with a file that could not be opened or looked into, besides telling.
using FileFailed = std::function<void(const std::string& path, const std::string& text)>;

// The tapes behind one command-line file, or none after telling why.
std::vector<ConsoleTape> TapesIn(const std::string& path, const ConsoleRequest& request,
                                 Outcome& outcome, const FileFailed& failed = nullptr) {
    try {
        return FindConsoleTapes(path, request.entry);
    } catch (const std::exception& failure) {
        const std::string text = FailureText(failure.what());
        if (failed) failed(path, text);
        Complain(ShownPath(path), text);
        outcome.Failed();
        return {};
    }
}

std::string Utf8(const std::filesystem::path& path) {
    const std::u8string text = path.generic_u8string();
    return {text.begin(), text.end()};
}

// The files a folder stands for: every tape, recording and archive below it, by name, in byte
// order of their paths; what cannot be read is told of (through failed too) and the rest goes on.
std::vector<std::string> FilesBelow(const std::string& folder, Outcome& outcome,
                                    const FileFailed& failed) {
    std::vector<std::string> files;
    std::error_code error;
    const auto fail = [&](const std::string& path) {
        const std::string text = FailureText(error.message());
        if (failed) failed(path, text);
        Complain(path, text);
        outcome.Failed();
    };
    std::filesystem::recursive_directory_iterator walk(
        FileSystemPath(folder), std::filesystem::directory_options::skip_permission_denied, error);
    if (error) {
        fail(folder);
        return files;
    }
    for (; walk != std::filesystem::recursive_directory_iterator(); walk.increment(error)) {
        if (error) {
            fail(folder);
            break;
        }
        const std::string name = Utf8(walk->path().filename());
        if (walk->is_regular_file(error) &&
            (IsTapeFileName(name) || IsArchiveName(name) || IsRecordingName(name)))
            files.push_back(Utf8(walk->path()));
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The files the command line names, in its order, a folder (for catalogue) as the files below it.
std::vector<std::string> CommandLineFiles(const ConsoleRequest& request, Outcome& outcome,
                                          const FileFailed& failed) {
    std::vector<std::string> files;
    for (const std::string& path : request.tapes) {
        std::error_code error;
        if (request.command == ConsoleCommand::Catalogue &&
            std::filesystem::is_directory(FileSystemPath(path), error)) {
            const std::vector<std::string> below = FilesBelow(path, outcome, failed);
            files.insert(files.end(), below.begin(), below.end());
        } else {
            files.push_back(path);
        }
    }
    return files;
}

// Every tape the command line names, in its order, each with whether it is one of several.
template <typename Read>
void ForEachTape(const ConsoleRequest& request, Outcome& outcome, Read read,
                 const FileFailed& failed = nullptr) {
    const std::vector<std::string> files = CommandLineFiles(request, outcome, failed);
    for (const std::string& path : files) {
        const std::vector<ConsoleTape> tapes = TapesIn(path, request, outcome, failed);
        const bool several = files.size() > 1 || tapes.size() > 1 ||
                             (!tapes.empty() && tapes.front().location.InArchive());
        for (const ConsoleTape& tape : tapes) read(tape, several);
    }
}

// The row numbered number (from 1), or nothing after telling why there is none.
const CatalogueRow* FindRow(const std::string& tape, const TapeScan& scan, std::size_t number,
                            Outcome& outcome) {
    if (number <= scan.catalogue.RowCount()) return &scan.catalogue.Row(number - 1);
    if (!scan.Good()) {
        ReportScanEnd(tape, scan, outcome);
    } else {
        Complain(tape, "has no " + RowName(number) + " (it has " +
                           std::to_string(scan.catalogue.RowCount()) + " rows)");
        outcome.Failed();
    }
    return nullptr;
}

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

// Listing lines as UTF-8 text, one per line.
class TextLines final : public LineSink {
public:
    void AddLine(std::string_view line) override {
        text += CodePageToUtf8(line);
        text += '\n';
    }
    std::string text;
};

// The names of tapes, for a message: "A", "B".
std::string TapeNames(const std::vector<ConsoleTape>& tapes) {
    std::string names;
    for (const ConsoleTape& tape : tapes) {
        if (!names.empty()) names += ", ";
        names += '"' + tape.location.entry + '"';
    }
    return names;
}

// The one tape a command reads; an archive of several must be told which with --entry.
std::optional<ConsoleTape> OneTape(const ConsoleRequest& request, Outcome& outcome) {
    std::vector<ConsoleTape> tapes = TapesIn(request.tapes.front(), request, outcome);
    if (tapes.empty()) return std::nullopt;
    if (tapes.size() > 1) {
        Complain(ShownPath(request.tapes.front()),
                 "holds " + std::to_string(tapes.size()) +
                     " tapes; choose one with --entry: " + TapeNames(tapes));
        outcome.Failed();
        return std::nullopt;
    }
    return std::move(tapes.front());
}

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

// Writes what make gives for the row to the request's output.
template <typename Make>
void WriteRow(const ConsoleRequest& request, const ConsoleTape& tape, const CatalogueRow& row,
              std::size_t number, Make make, Outcome& outcome) {
    try {
        const std::vector<std::uint8_t> bytes = make(row);
        WriteWholeFile(request.output, bytes, tape.location.path);
    } catch (const OutputError& failure) {
        std::fflush(stdout);
        std::fprintf(stderr, "brisalto-tape: %s\n", failure.what());
        outcome.Failed();
    } catch (const std::exception& failure) {
        Complain(tape.name, RowName(number) + ": " + FailureText(failure.what()));
        outcome.Failed();
    }
}

// Bytes: the block in the request's row of its one tape.
template <typename Make>
int WriteRequestedRow(const ConsoleRequest& request, Make make) {
    Outcome outcome;
    const auto tape = OneTape(request, outcome);
    if (!tape) return outcome.Status();
    TapeScan scan;
    ReadForConsole(tape->location, true, scan);
    const CatalogueRow* row = FindRow(tape->name, scan, *request.row, outcome);
    if (row == nullptr) return outcome.Status();
    WriteRow(
        request, *tape, *row, *request.row,
        [&](const CatalogueRow& r) { return make(*scan.document, r); }, outcome);
    return outcome.Status();
}

// The screen the request's row takes part in, wherever the tape keeps it (see FindScreen): a
// block of 6,912 data bytes under any flag, or either half of a screen split over two blocks.
int Screen(const ConsoleRequest& request) {
    Outcome outcome;
    const auto tape = OneTape(request, outcome);
    if (!tape) return outcome.Status();
    TapeScan scan;
    ReadForConsole(tape->location, true, scan);
    const CatalogueRow* row = FindRow(tape->name, scan, *request.row, outcome);
    if (row == nullptr) return outcome.Status();
    const std::vector<ScreenPlace> screens = CouldHoldScreen(row->Length)
                                                 ? FindScreens(scan.document->blocks)
                                                 : std::vector<ScreenPlace>();
    const ScreenPlace* place = ScreenOfRow(screens, *row);
    if (place == nullptr) {
        Complain(tape->name, RowName(*request.row) + " is not a screen (a 6,912-byte data block)");
        return kExitFailure;
    }
    const unsigned scale = request.scale;
    WriteRow(
        request, *tape, *row, *request.row,
        [&](const CatalogueRow&) {
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

int Bytes(const ConsoleRequest& request) {
    return WriteRequestedRow(request, [&](const TapeDocument& document, const CatalogueRow& row) {
        std::vector<std::uint8_t> body = BodyAt(document, row);
        return request.keepFlag ? body : BlockData(body);
    });
}

// Hex, disasm, variables, array: the view of the request's row of its one tape, as text.
int ViewRow(const ConsoleRequest& request) {
    Outcome outcome;
    const auto tape = OneTape(request, outcome);
    if (!tape) return outcome.Status();
    TapeScan scan;
    ReadForConsole(tape->location, true, scan);
    if (FindRow(tape->name, scan, *request.row, outcome) == nullptr) return outcome.Status();
    try {
        const BlockViewText view =
            ViewBlock(request, scan.catalogue, *request.row - 1, *scan.document);
        if (!view.problem.empty()) {
            Complain(tape->name, RowName(*request.row) + " " + view.problem);
            return kExitFailure;
        }
        Print(view.text);
    } catch (const std::exception& failure) {
        Complain(tape->name, RowName(*request.row) + ": " + FailureText(failure.what()));
        outcome.Failed();
    }
    return outcome.Status();
}

// Details: every block of the request's one tape, or the block of its row, as text or JSON,
// one block at a time (a tape may have a million).
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
            std::fflush(stdout);
            std::fprintf(stderr, "brisalto-tape: %s\n", failure.what());
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

int RunCommand(const ConsoleRequest& request) {
    int status = kExitGood;
    switch (request.command) {
        case ConsoleCommand::Catalogue: status = Catalogue(request); break;
        case ConsoleCommand::List: status = List(request); break;
        case ConsoleCommand::Screen: status = Screen(request); break;
        case ConsoleCommand::Bytes: status = Bytes(request); break;
        case ConsoleCommand::Thumbnail: status = Thumbnail(request); break;
        case ConsoleCommand::Hex:
        case ConsoleCommand::Basic:
        case ConsoleCommand::Disasm:
        case ConsoleCommand::Variables:
        case ConsoleCommand::Array: status = ViewRow(request); break;
        case ConsoleCommand::Details: status = Details(request); break;
        case ConsoleCommand::Convert:
            if (Outcome outcome; const auto tape = OneTape(request, outcome)) {
                status = ConvertTapeFile(request, *tape);
            } else {
                status = outcome.Status();
            }
            break;
        case ConsoleCommand::Record: status = RecordFromSoundInput(request); break;
        case ConsoleCommand::Wav:
#ifdef BRISALTO_HAS_SOUND
            if (Outcome outcome; const auto tape = OneTape(request, outcome)) {
                status = WriteTapeWav(request, *tape);
            } else {
                status = outcome.Status();
            }
#else
            std::fputs("brisalto-tape: this build cannot make sound\n", stderr);
            status = kExitFailure;
#endif
            break;
    }
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "brisalto-tape: standard output: %s\n", std::strerror(errno));
        return kExitFailure;
    }
    return status;
}

}  // namespace

int RunConsoleRequest(const ConsoleRequest& given) {
    // A TAPE "-" is standard input, read once into a file of its own that every "-" stands for.
    ConsoleRequest request = given;
    std::optional<StandardInputCopy> input;
    if (std::find(request.tapes.begin(), request.tapes.end(), "-") != request.tapes.end()) {
        try {
            input.emplace();
        } catch (const std::exception& failure) {
            Complain(std::string(kStandardInputName), FailureText(failure.what()));
            return kExitFailure;
        }
        std::replace(request.tapes.begin(), request.tapes.end(), std::string("-"), input->Path());
    }
    return RunCommand(request);
}

}  // namespace brisalto
