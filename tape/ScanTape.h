#pragma once

#include <string>

namespace brisalto {

class CatalogueTable;

enum class ScanResult {
    Completed,  // the end of the file was reached
    Damaged,    // a block body was shorter than its length announced
};

// Empties the catalogue and appends one row per listed block of the tape at path, in file order:
// every header block, and every data block when showRaw is set. Input/output failures
// (InOutError) and refused field values (FieldRangeError) travel out to the caller; the rows
// posted so far stay. The file is closed on every path.
ScanResult ScanTape(const std::string& path, bool showRaw, CatalogueTable& catalogue);

}  // namespace brisalto
