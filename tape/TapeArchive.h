// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace brisalto {

// An entry of an archive that holds a tape: a regular entry named *.tap or *.tzx, or as a sound
// recording is (IsRecordingName), in any case and at any folder depth, not a Mac resource
// companion; or the one stream of a compressed file.
struct ArchiveTape {
    std::string name;        // the entry's path inside the archive: UTF-8, or its own bytes
    std::uint64_t size = 0;  // its unpacked size as the archive states it (0 when unstated)
    unsigned index = 0;      // its place among all of the archive's entries
};

// What a file holds: either it is a tape itself, or an archive with these tape entries.
struct TapeFileContents {
    bool archive = false;
    std::vector<ArchiveTape> tapes;  // in archive order; empty for a bare tape
};

// The largest entry read from an archive. Real tapes are far smaller; a small archive that
// unpacks to more (a zip bomb) is refused before it is read into memory beyond this.
inline constexpr std::uint64_t kMaxArchiveEntryBytes = 64ull << 20;

// A failure of an archive itself: damaged, encrypted, of a method not supported, too large, or
// no longer holding the entry. what() is the whole message the user sees, naming the archive.
class ArchiveError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// The names archives that hold tapes usually have. Which files are archives is decided by their
// content; these serve where only a name can be looked at (a dialog's filter, a folder's files).
inline constexpr std::array<std::string_view, 13> kArchiveSuffixes = {
    ".zip", ".7z", ".rar", ".gz",  ".tgz", ".bz2", ".xz",
    ".zst", ".lz", ".lz4", ".tar", ".lzh", ".cab"};

// Whether a file name ends in one of kArchiveSuffixes, in any case.
bool IsArchiveName(std::string_view name);
// Whether a file name ends in .tap or .tzx, in any case.
bool IsTapeFileName(std::string_view name);

// How many walks over archives this process has begun (each one a pass of the archive library
// from an archive's start), for tests and figures.
std::uint64_t ArchiveWalks() noexcept;

// Looks at the file at path (as OsFile takes it): an archive (recognised by its content, whatever its name)
// lists the tape entries it holds; any other file is a tape (a bare tape's bytes are kept for the
// read that follows; a recording's, told by its first bytes, are not read). File-layer failures
// travel out as InOutError, a damaged archive as ArchiveError.
TapeFileContents FindTapes(const std::string& path);

}  // namespace brisalto
