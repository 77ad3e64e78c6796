// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <stdexcept>

#include "KeptTape.h"
#include "OsFile.h"
#include "TapeLocation.h"

namespace brisalto {

// The largest tape file read. Real tapes are under a megabyte; a larger file is no tape, and is
// refused before memory is spent on it.
inline constexpr std::uint64_t kMaxTapeFileBytes = 256ull << 20;

// A file too large to be a tape. what() is the whole message the user sees, naming the file.
class TapeTooLargeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct ReadBytes {
    SharedBytes bytes;
    FileStamp stamp;  // the file's (an archive's) length and time at the read
};

// The bytes of the tape at location with at most one open of its file: the copy kept from the
// look that found the tape while the file's stamp is unchanged, else the file read whole (or the
// archive entry unpacked), kept in its turn. Failures: InOutError, ArchiveError,
// TapeTooLargeError.
ReadBytes ReadTapeBytes(const TapeLocation& location);

// The whole of file, read from its start, when it is no larger than kMaxTapeFileBytes;
// TapeTooLargeError, naming path, otherwise.
SharedBytes ReadWholeFile(OsFile& file, const std::string& path);

}  // namespace brisalto
