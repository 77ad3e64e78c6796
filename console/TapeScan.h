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
#include "TapeDigest.h"
#include "TapeDocument.h"
#include "TapeLocation.h"

namespace brisalto {

// How a scan of one tape ended, and what it saw besides the rows.
struct ScanEnd {
    ScanDetails details;
    std::optional<ScanResult> result;  // unset when a failure stopped the scan
    std::string failure;               // then the failure display's text
    std::string damage;                // of a damaged recording, what damaged it
    bool Good() const noexcept { return result == ScanResult::Completed; }
};

// One tape as the console program reads it: its rows, each row's number, and how the scan
// ended. A row's number is its place among the rows with raw blocks shown, counted from 1,
// whether they are shown or not: one numbering for every command.
struct TapeScan : ScanEnd {
    CatalogueTable catalogue;
    std::vector<std::size_t> numbers;  // of the catalogue's rows
    std::optional<TapeDigest> digest;  // the tape's size and SHA-1, when it could be read
    // The tape read once, which every view of it is made from; unset when it could not be read.
    std::optional<TapeDocument> document;
    // The index of the row numbered number, if the scan listed it.
    std::optional<std::size_t> IndexOf(std::size_t number) const;
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
// The tape is read once, and its digest (size and SHA-1) is kept in the scan too.
void ScanForConsole(const TapeLocation& location, bool showRaw, TapeScan& scan);

// Reads the tape once into scan.document and lists its rows as ScanForConsole does; a failure
// to read it is kept in the scan as ScanForConsole keeps one.
void ReadForConsole(const TapeLocation& location, bool showRaw, TapeScan& scan);

// The same scan, handing the rows to sink as they come; a sink numbers rows as TapeScan does
// by counting AddUnlisted as a row.
void ScanRowsForConsole(const TapeLocation& location, bool showRaw, CatalogueSink& sink,
                        ScanEnd& end);

}  // namespace brisalto
