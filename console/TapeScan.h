// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "CatalogueSink.h"
#include "CatalogueTable.h"
#include "ScanDetails.h"
#include "ScanTape.h"
#include "TapeLocation.h"

namespace brisalto {

// How a scan of one tape ended, and what it saw besides the rows.
struct ScanEnd {
    ScanDetails details;
    std::optional<ScanResult> result;  // unset when a failure stopped the scan
    std::string failure;               // then the failure display's text
    bool Good() const noexcept { return result == ScanResult::Completed; }
};

// One tape as the console program reads it: its rows, a row's number its place among them
// counted from 1, and how the scan ended.
struct TapeScan : ScanEnd {
    CatalogueTable catalogue;
};

// A tape the command line names: a tape file, or one tape inside an archive.
struct ConsoleTape {
    std::string name;  // for people: the path, or "archive:entry"
    TapeLocation location;
};

// The tapes the file at path holds: itself, or an archive's tapes in archive order (only the
// one named entry, when entry is not empty). Failures travel out: InOutError, ArchiveError, and
// std::runtime_error for an archive without tapes or without the entry.
std::vector<ConsoleTape> FindConsoleTapes(const std::string& path, const std::string& entry);

// Scans the tape as the window does with "Show Raw Blocks" set to showRaw. A failure does not
// travel out: it is kept in the scan, with the rows posted before it (a row it left open is
// dropped).
void ScanForConsole(const TapeLocation& location, bool showRaw, TapeScan& scan);

// The same scan, handing the rows to sink as they come.
void ScanRowsForConsole(const TapeLocation& location, bool showRaw, CatalogueSink& sink,
                        ScanEnd& end);

// The damaged-tape message, as the window shows it.
inline constexpr const char* kDamagedTapeText =
    "Tape file is seriously corrupted. Cannot continue.";

// The data row kind of a BASIC program: 255 plus a Program header's type 0.
inline constexpr std::int64_t kProgramDataTipo = 255;

}  // namespace brisalto
