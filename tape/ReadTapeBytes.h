// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>

#include "ByteSource.h"
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
    // Set for a sound recording (by its first bytes, IsRecordingStart), which is never read whole:
    // its bytes from the start for a decoder to stream through, the file still open (or the
    // archive entry in memory); bytes is then unset.
    std::unique_ptr<ByteSource> recording = nullptr;
};

// The bytes of the tape at location with at most one open of its file: the copy kept by the look
// that found the tape while the file's stamp is unchanged, else the file read (or the archive
// entry unpacked); a recording's source to decode instead. Failures: InOutError, ArchiveError.
ReadBytes ReadTapeBytes(const TapeLocation& location);

// The first bytes of file, from its start, up to kMaxTapeFileBytes.
ReadBytes ReadFileStart(OsFile& file);

// Whether source begins as a sound recording (IsRecordingStart); it is read from its start.
bool StartsAsRecording(ByteSource& source);

}  // namespace brisalto
