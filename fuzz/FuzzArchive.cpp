// SPDX-License-Identifier: GPL-3.0-or-later
// Looks for tapes in any bytes as an archive file and scans each tape found. A bare tape, an
// archive with its tapes, a damaged archive (ArchiveError) and "Read beyond end of file" are the
// normal outcomes; a crash, a sanitizer report, a hang, memory past the entry cap or a broken
// expectation below is a finding.
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

#include "CatalogueErrors.h"
#include "CatalogueTable.h"
#include "FuzzCheck.h"
#include "InOutError.h"
#include "ScanTape.h"
#include "ScratchFile.h"
#include "TapeArchive.h"

namespace {

using brisalto::fuzzing::Require;

void ScanEntry(const brisalto::TapeLocation& location) {
    brisalto::CatalogueTable catalogue;
    try {
        brisalto::ScanTape(location, true, catalogue);
    } catch (const brisalto::ArchiveError& error) {
        Require(std::string(error.what()).find(location.path) != std::string::npos,
                "an archive's failure names the archive");
    } catch (const brisalto::InOutError& error) {
        Require(error.Code() == brisalto::kReadBeyondEndOfFile, "only code 100 from a tape");
    } catch (const brisalto::FieldRangeError&) {
        // A one-byte data block, as in a bare tape.
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const brisalto::fuzzing::ScratchFile file;
    file.Write(std::span(data, size));
    brisalto::TapeFileContents contents;
    try {
        contents = brisalto::FindTapes(file.Path());
    } catch (const brisalto::ArchiveError& error) {
        Require(std::string(error.what()).find(file.Path()) != std::string::npos,
                "an archive's failure names the archive");
        return 0;
    }
    Require(contents.archive || contents.tapes.empty(), "a bare tape lists no entries");
    for (const brisalto::ArchiveTape& tape : contents.tapes) {
        ScanEntry(brisalto::TapeLocation(file.Path(), tape.name, tape.index));
    }
    return 0;
}
