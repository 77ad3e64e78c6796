// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeScan.h"

#include <exception>
#include <filesystem>
#include <stdexcept>

#include "FailureText.h"
#include "ProgramStart.h"
#include "TapeArchive.h"

namespace brisalto {

std::vector<ConsoleTape> FindConsoleTapes(const std::string& path, const std::string& entry) {
    // Opening a folder fails with "File access denied", true but no help.
    std::error_code error;
    if (std::filesystem::is_directory(FileSystemPath(path), error))
        throw std::runtime_error("Is a folder, not a tape");
    const TapeFileContents contents = FindTapes(path);
    if (!contents.archive) {
        if (!entry.empty()) throw std::runtime_error("is not an archive; --entry is for archives");
        return {{path, path}};
    }
    std::vector<ConsoleTape> tapes;
    for (const ArchiveTape& tape : contents.tapes) {
        if (!entry.empty() && tape.name != entry) continue;
        tapes.push_back({path + ":" + tape.name, TapeLocation(path, tape.name, tape.index)});
    }
    if (tapes.empty()) {
        throw std::runtime_error(entry.empty() ? "The archive holds no tape (*.tap, *.tzx)"
                                               : "The archive holds no tape named " + entry);
    }
    return tapes;
}

void ScanForConsole(const TapeLocation& location, bool showRaw, TapeScan& scan) {
    try {
        scan.result = ScanTape(location, showRaw, scan.catalogue, &scan.details);
    } catch (const std::exception& failure) {
        scan.catalogue.Cancel();
        scan.failure = FailureText(failure.what());
    }
}

void ScanRowsForConsole(const TapeLocation& location, bool showRaw, CatalogueSink& sink,
                        ScanEnd& end) {
    try {
        end.result = ScanRows(location, showRaw, sink, &end.details);
    } catch (const std::exception& failure) {
        end.failure = FailureText(failure.what());
    }
}

}  // namespace brisalto
