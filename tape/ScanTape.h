// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <functional>

#include "ScanDetails.h"
#include "TapeLocation.h"

namespace brisalto {

class CatalogueSink;
class CatalogueTable;
class TapeFile;
struct TapeBlock;

// No real tape comes near this many blocks; a hostile one (a file of zeros is a block every two
// bytes) would otherwise fill memory with rows. A scan stops after this many, listed or not.
inline constexpr std::uint64_t kMaxScanBlocks = std::uint64_t{1} << 20;

enum class ScanResult {
    Completed,  // the end of the file was reached
    Damaged,    // the file ended inside a block, or the tape has more than 1,048,576 blocks
};

// Empties the catalogue and appends one row per listed block of the tape at path, in file order:
// every header block, and every data block when showRaw is set. A tape that begins with the TZX
// signature is read as a TZX tape, any other as a TAP file. Input/output failures
// (InOutError), archive failures (ArchiveError) and refused field values (FieldRangeError)
// travel out to the caller; the rows posted so far stay. The file is closed on every path.
// details, when given, is filled with what the scan saw besides the rows.
ScanResult ScanTape(const TapeLocation& location, bool showRaw, CatalogueTable& catalogue,
                    ScanDetails* details = nullptr);

// Reads the tape at location block by block, every block of every kind in file order, handing
// each to use (valid during the call only), with the same block cap, damaged result and failures
// as ScanTape; details, when given, is filled as ScanTape fills it.
ScanResult ReadTapeBlocks(const TapeLocation& location, ScanDetails* details,
                          const std::function<void(const TapeBlock&)>& use);

// The same over a tape already opened (a document's bytes, a file).
ScanResult ReadTapeBlocks(TapeFile& file, ScanDetails* details,
                          const std::function<void(const TapeBlock&)>& use);

// Turns a tape's blocks, handed in file order, into the catalogue's rows: every header block,
// and every data block when showRaw is set (the others still count as rows unlisted). A row's
// kind and BASIC length carry over from the header before it. Refused field values
// (FieldRangeError) travel out after the unfinished row.
class RowMaker {
public:
    RowMaker(bool showRaw, CatalogueSink& sink) : showRaw_(showRaw), sink_(sink) {}
    void Take(const TapeBlock& block);

private:
    bool showRaw_;
    CatalogueSink& sink_;
    std::uint8_t lastHeaderType_ = 0;      // type byte of the most recent header
    std::uint16_t lastProgramLength_ = 0;  // parameter 2 of the most recent Program header
};

// The rows of a tape already opened (bytes read into memory), as ScanRows below gives them from
// its location.
ScanResult ScanRows(TapeFile& file, bool showRaw, CatalogueSink& sink,
                    ScanDetails* details = nullptr);

// The same walk, handing each listed block's row to sink as it comes instead of keeping it:
// the rows ScanTape would append, in the same order, and the same failures.
ScanResult ScanRows(const TapeLocation& location, bool showRaw, CatalogueSink& sink,
                    ScanDetails* details = nullptr);

}  // namespace brisalto
