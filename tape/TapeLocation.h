// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <utility>

namespace brisalto {

// Where a tape's bytes are: a file of its own, or one entry of an archive file. Every reader of
// a tape (the scan, the lister, the screen reader) opens it through TapeFile by this value.
struct TapeLocation {
    TapeLocation() = default;
    // A bare tape file; a path converts by itself, since a file is the usual location.
    TapeLocation(std::string filePath) : path(std::move(filePath)) {}  // NOLINT(google-explicit-constructor)
    TapeLocation(std::string filePath, std::string entryName, unsigned entryIndex)
        : path(std::move(filePath)), entry(std::move(entryName)), index(entryIndex) {}

    bool InArchive() const noexcept { return !entry.empty(); }
    bool operator==(const TapeLocation&) const = default;

    std::string path;   // the file on disk: its bytes on POSIX (UTF-8 or not), UTF-8 on Windows
    std::string entry;  // the entry's name inside the archive at path; empty for a bare tape
    unsigned index = 0; // the entry's place among the archive's entries, counted from 0
};

}  // namespace brisalto
