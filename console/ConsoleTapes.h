// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ConsoleArguments.h"
#include "TapeScan.h"

namespace brisalto {

// What every command shares: how it opens the tapes its command line names, tells of a failure
// and chooses its exit status.

// The worst of what the tapes met, in the order ExitStatus.h gives.
class Outcome {
public:
    void Failed() noexcept { failed_ = true; }
    void Damaged() noexcept { damaged_ = true; }
    int Status() const noexcept;

private:
    bool failed_ = false;
    bool damaged_ = false;
};

void Print(std::string_view text);

// One line on standard error, "brisalto-tape: ABOUT: MESSAGE", after what standard output holds
// so far.
void Complain(const std::string& about, std::string_view message);

// One line on standard error, "brisalto-tape: TEXT", after what standard output holds so far.
void Complain(std::string_view text);

// An output file's failure, whose text names the file itself.
void ComplainOfOutput(const std::exception& failure);

// Tells what stopped a scan, if anything did, and notes it.
void ReportScanEnd(const std::string& tape, const ScanEnd& scan, Outcome& outcome);

std::string RowName(std::size_t number);

// What a command does with a file that could not be opened or looked into, besides telling.
using FileFailed = std::function<void(const std::string& path, const std::string& text)>;

// Every tape the command line names, in its order (a folder, for catalogue, as every tape below
// it), each with whether it is one of several.
void ForEachTape(const ConsoleRequest& request, Outcome& outcome,
                 const std::function<void(const ConsoleTape&, bool several)>& read,
                 const FileFailed& failed = nullptr);

// The one tape a command reads; an archive of several must be told which with --entry.
std::optional<ConsoleTape> OneTape(const ConsoleRequest& request, Outcome& outcome);

// The row numbered number (from 1), or nothing after telling why there is none.
const CatalogueRow* FindRow(const std::string& tape, const TapeScan& scan, std::size_t number,
                            Outcome& outcome);

// The one tape read whole with its rows, and the request's row of it; nothing after telling.
struct RowOfTape {
    ConsoleTape tape;
    TapeScan scan;
    const CatalogueRow* row = nullptr;
};
std::optional<RowOfTape> RequestedRow(const ConsoleRequest& request, Outcome& outcome);

}  // namespace brisalto
