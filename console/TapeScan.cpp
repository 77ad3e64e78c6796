// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeScan.h"

#include <algorithm>
#include <array>
#include <exception>
#include <filesystem>
#include <stdexcept>

#include "FailureText.h"
#include "IsRecording.h"
#include "KeptTape.h"
#include "OsFile.h"
#include "ProgramStart.h"
#include "ReadTapeBytes.h"
#include "RecordingDamage.h"
#include "StandardInputTape.h"
#include "TapeArchive.h"
#include "TapeFile.h"
#include "TapeRows.h"

namespace brisalto {

std::vector<ConsoleTape> FindConsoleTapes(const std::string& path, const std::string& entry) {
    // Opening a folder fails with "File access denied", true but no help.
    std::error_code error;
    if (std::filesystem::is_directory(FileSystemPath(path), error))
        throw std::runtime_error("Is a folder, not a tape");
    const TapeFileContents contents = FindTapes(path);
    const std::string shown = ShownPath(path);
    if (!contents.archive) {
        if (!entry.empty()) throw std::runtime_error("is not an archive; --entry is for archives");
        return {{shown, path}};
    }
    std::vector<ConsoleTape> tapes;
    std::string names;  // of every tape, for a wrong entry's message
    for (const ArchiveTape& tape : contents.tapes) {
        names += (names.empty() ? "\"" : ", \"") + tape.name + '"';
        if (!entry.empty() && tape.name != entry) continue;
        tapes.push_back({shown + ":" + tape.name, TapeLocation(path, tape.name, tape.index)});
    }
    if (contents.tapes.empty()) throw std::runtime_error(kArchiveWithoutTapeText);
    if (tapes.empty())
        throw std::runtime_error("The archive holds no tape named " + entry + "; it holds " +
                                 names);
    return tapes;
}

namespace {

// The catalogue table as a scan's destination, with every row's number.
class NumberedTable final : public CatalogueSink {
public:
    explicit NumberedTable(TapeScan& scan) : scan_(scan) {}
    void Add(const CatalogueRow& row) override {
        scan_.catalogue.AppendPosted(row);
        scan_.numbers.push_back(next_++);
    }
    void AddUnfinished(const CatalogueRow& row) override { scan_.catalogue.AppendOpen(row); }
    void AddUnlisted() override { ++next_; }

private:
    TapeScan& scan_;
    std::size_t next_ = 1;
};

// Lists the rows of the document read into scan.
void ListDocument(bool showRaw, TapeScan& scan) {
    scan.details = scan.document->details;
    if (scan.document->soundDamage) scan.damage = scan.document->soundDamage->reason;
    NumberedTable table(scan);
    scan.result = ListRows(*scan.document, showRaw, table);
}

}  // namespace

std::optional<std::size_t> TapeScan::IndexOf(std::size_t number) const {
    const auto found = std::lower_bound(numbers.begin(), numbers.end(), number);
    if (found == numbers.end() || *found != number) return std::nullopt;
    return static_cast<std::size_t>(found - numbers.begin());
}

void ScanForConsole(const TapeLocation& location, bool showRaw, TapeScan& scan) {
    ReadBytes read;
    try {
        scan.catalogue.Empty();
        scan.numbers.clear();
        read = ReadTapeBytes(location);
        if (read.recording) {
            // The digest of the tape it holds, as listed.
            scan.document = ConsoleDocumentFromRead(location, std::move(read));
            scan.digest = DigestOf(*scan.document->bytes);
            ListDocument(showRaw, scan);
            return;
        }
        // The digest first: a scan that fails on a field still has a tape to sum.
        if (!read.cut) scan.digest = DigestOf(*read.bytes);
        NumberedTable table(scan);
        TapeFile file(read.bytes);
        scan.result = ScanRows(file, showRaw, table, &scan.details);
        if (read.cut) scan.result = ScanResult::Damaged;
    } catch (const std::exception& failure) {
        scan.catalogue.Cancel();
        scan.failure = FailureText(failure.what());
    }
    if (!read.cut) return;
    try {
        // Past the bytes a tape is read to, the digest is still of the whole file.
        scan.digest = ReadTapeDigest(location);
    } catch (const std::exception&) {
        // The scan's failure says what is wrong; the digest stays null.
    }
}

void ReadForConsole(const TapeLocation& location, bool showRaw, TapeScan& scan) {
    try {
        scan.catalogue.Empty();
        scan.numbers.clear();
        scan.document = ReadConsoleDocument(location);
        ListDocument(showRaw, scan);
    } catch (const std::exception& failure) {
        scan.catalogue.Cancel();
        scan.failure = FailureText(failure.what());
    }
}

void ScanRowsForConsole(const TapeLocation& location, bool showRaw, CatalogueSink& sink,
                        ScanEnd& end) {
    // A recording's rows come from the document it decodes into.
    const auto listRecording = [&] {
        const TapeDocument document = ReadConsoleDocument(location);
        end.details = document.details;
        if (document.soundDamage) end.damage = document.soundDamage->reason;
        end.result = ListRows(document, showRaw, sink);
    };
    try {
        // The look that found the file a recording kept it open, for its decoding.
        const std::optional<FileStamp> now =
            location.InArchive() ? std::nullopt : StampOfFile(location.path);
        if (now && Kept().HoldsRecording(location, *now)) {
            listRecording();
            return;
        }
        // A look at the tape's first bytes, through the open that streams a tape's rows.
        TapeFile file(location);
        std::array<std::uint8_t, kRecordingStartBytes> start{};
        const std::size_t got = file.ReadSome(start);
        if (IsRecordingStart(std::span(start).first(got))) {
            file.Close();
            listRecording();
            return;
        }
        file.Seek(0);
        end.result = ScanRows(file, showRaw, sink, &end.details);
    } catch (const std::exception& failure) {
        end.failure = FailureText(failure.what());
    }
}

}  // namespace brisalto
