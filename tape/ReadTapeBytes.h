// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "KeptTape.h"
#include "OsFile.h"
#include "TapeLocation.h"

namespace brisalto {

// The most of a file read as a tape, as much as an archive entry may unpack to. Real tapes are
// under a megabyte; of a larger file (a hostile one, a disk image) the first 64 MiB are read, and
// the tape is damaged there, as a scan that meets its block limit says.
inline constexpr std::uint64_t kMaxTapeFileBytes = 64ull << 20;

struct ReadBytes {
    SharedBytes bytes;
    FileStamp stamp;   // the file's (an archive's) length and time at the read
    bool cut = false;  // the file goes on past the bytes read
};

// The bytes of the tape at location with at most one open of its file: the copy kept by the look
// that found the tape while the file's stamp is unchanged, else the file read (or the archive
// entry unpacked). Failures: InOutError, ArchiveError.
ReadBytes ReadTapeBytes(const TapeLocation& location);

// The first bytes of file, from its start, up to kMaxTapeFileBytes.
ReadBytes ReadFileStart(OsFile& file);

}  // namespace brisalto
