// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConsoleTapes.h"

#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>

#include "ExitStatus.h"
#include "FailureText.h"
#include "IsRecording.h"
#include "ProgramStart.h"
#include "RecordingDamage.h"
#include "StandardInputTape.h"
#include "TapeArchive.h"

namespace brisalto {

namespace {

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

// The names of tapes, for a message: "A", "B".
std::string TapeNames(const std::vector<ConsoleTape>& tapes) {
    std::string names;
    for (const ConsoleTape& tape : tapes) {
        if (!names.empty()) names += ", ";
        names += '"' + tape.location.entry + '"';
    }
    return names;
}

}  // namespace

int Outcome::Status() const noexcept {
    if (failed_) return kExitFailure;
    return damaged_ ? kExitDamaged : kExitGood;
}

void Print(std::string_view text) {
    std::fwrite(text.data(), 1, text.size(), stdout);
}

void Complain(const std::string& about, std::string_view message) {
    std::fflush(stdout);
    const std::string text = ForPeople(std::string(message));
    std::fprintf(stderr, "brisalto-tape: %s: %s\n", about.c_str(), text.c_str());
}

void Complain(std::string_view text) {
    std::fflush(stdout);
    std::fprintf(stderr, "brisalto-tape: %s\n", ForPeople(std::string(text)).c_str());
}

void ComplainOfOutput(const std::exception& failure) {
    std::fflush(stdout);
    std::fprintf(stderr, "brisalto-tape: %s\n", failure.what());
}

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

void ForEachTape(const ConsoleRequest& request, Outcome& outcome,
                 const std::function<void(const ConsoleTape&, bool several)>& read,
                 const FileFailed& failed) {
    const std::vector<std::string> files = CommandLineFiles(request, outcome, failed);
    for (const std::string& path : files) {
        const std::vector<ConsoleTape> tapes = TapesIn(path, request, outcome, failed);
        const bool several = files.size() > 1 || tapes.size() > 1 ||
                             (!tapes.empty() && tapes.front().location.InArchive());
        for (const ConsoleTape& tape : tapes) read(tape, several);
    }
}

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

std::optional<RowOfTape> RequestedRow(const ConsoleRequest& request, Outcome& outcome) {
    auto tape = OneTape(request, outcome);
    if (!tape) return std::nullopt;
    std::optional<RowOfTape> found{RowOfTape{std::move(*tape), {}, nullptr}};
    ReadForConsole(found->tape.location, true, found->scan);
    found->row = FindRow(found->tape.name, found->scan, *request.row, outcome);
    if (found->row == nullptr) return std::nullopt;
    return found;
}

}  // namespace brisalto
