// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeArchive.h"

#include <archive_entry.h>

#include <algorithm>
#include <cctype>
#include <memory>
#include <optional>
#include <string_view>

#include "ArchiveReader.h"
#include "IsRecording.h"
#include "ReadArchiveEntry.h"
#include "ReadTapeBytes.h"

namespace brisalto {

namespace {

bool EndsWithNoCase(std::string_view text, std::string_view suffix) {
    return text.size() >= suffix.size() &&
           std::equal(suffix.begin(), suffix.end(), text.end() - std::ptrdiff_t(suffix.size()),
                      [](char a, char b) {
                          return std::tolower(static_cast<unsigned char>(a)) ==
                                 std::tolower(static_cast<unsigned char>(b));
                      });
}

std::string EntryName(archive_entry* entry) {
    if (const char* utf8 = archive_entry_pathname_utf8(entry)) return utf8;
    if (const char* native = archive_entry_pathname(entry)) return native;
    return {};
}

// A tape entry by its name: *.tap or *.tzx, or a recording (*.wav, *.csw...), but none of the
// "._name" companions that macOS adds, in a __MACOSX folder or beside the file.
bool IsTapeName(std::string_view name) {
    if (!IsTapeFileName(name) && !IsRecordingName(name)) return false;
    const std::size_t slash = name.find_last_of("/\\");
    const std::string_view base = slash == std::string_view::npos ? name : name.substr(slash + 1);
    if (base.starts_with("._")) return false;
    for (std::size_t start = 0; start < name.size();) {
        const std::size_t end = std::min(name.find_first_of("/\\", start), name.size());
        if (name.substr(start, end - start) == "__MACOSX") return false;
        start = end + 1;
    }
    return true;
}

// The name a compressed single file's stream goes by: the file's own without the compressor's
// extension ("game.tzx" for "game.tzx.gz").
std::string StreamName(const std::string& path) {
    const std::size_t slash = path.find_last_of("/\\");
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (const std::string_view suffix :
         {".gz", ".bz2", ".xz", ".lz", ".zst", ".lz4", ".Z", ".gzip", ".bzip2"}) {
        if (name.size() > suffix.size() && EndsWithNoCase(name, suffix)) {
            name.resize(name.size() - suffix.size());
            break;
        }
    }
    return name.empty() ? std::string("tape") : name;
}

// The one stream of a compressed file stands for the tape it holds, whatever its name.
ArchiveTape StreamTape(const std::string& path) {
    return {StreamName(path), 0, 0};
}

using EntryBytes = SharedBytes;

// The bytes of the reader's current entry, named name: refused when encrypted.
EntryBytes ReadEntry(ArchiveReader& reader, const std::string& path, const std::string& name) {
    if (archive_entry_is_encrypted(reader.Entry())) {
        throw ArchiveError("The tape " + name + " in the archive " + path +
                           " is encrypted, and Brisalto reads no encrypted tapes");
    }
    auto bytes = std::make_shared<std::vector<std::uint8_t>>();
    reader.ReadData(*bytes, kMaxArchiveEntryBytes, name);
    return bytes;
}

// One walk over the archive at path, listing its tapes; with readFirst, the first tape's bytes
// are unpacked on the way and kept, so that opening the archive's usual one tape walks it once.
// A failure while unpacking travels out: the caller walks again without reading.
TapeFileContents Walk(const std::string& path, bool readFirst) {
    ArchiveReader reader(path, ArchiveReader::Mode::Formats);
    TapeFileContents contents;
    EntryBytes first;
    unsigned index = 0;
    for (;; ++index) {
        const ArchiveReader::Step step = reader.Next();
        if (step == ArchiveReader::Step::End) {
            // The tar format takes a file that begins with 512 zero bytes, its end mark, as an
            // archive of nothing; a tape may begin so too (blocks of no bytes), and is read as one.
            if (index == 0 && reader.Tar() && !reader.Compressed()) {
                if (SharedBytes bytes = reader.ReadWholeFile())
                    Kept().Keep(TapeLocation(path), reader.Stamp(), std::move(bytes));
                return {};
            }
            break;
        }
        if (step == ArchiveReader::Step::Unrecognised) {
            if (!reader.Compressed()) {
                // A bare tape: its bytes kept now, so that reading it takes no second open; a
                // recording's open file, for its decoding.
                if (std::unique_ptr<OsFile> recording = reader.TakeRecording()) {
                    Kept().KeepRecording(TapeLocation(path), reader.Stamp(), std::move(recording));
                } else if (SharedBytes bytes = reader.ReadWholeFile()) {
                    Kept().Keep(TapeLocation(path), reader.Stamp(), std::move(bytes));
                }
                return {};
            }
            return {true, {StreamTape(path)}};
        }
        archive_entry* entry = reader.Entry();
        if (archive_entry_filetype(entry) != AE_IFREG) continue;
        std::string name = EntryName(entry);
        if (!IsTapeName(name)) continue;
        const std::uint64_t size = archive_entry_size_is_set(entry)
                                       ? static_cast<std::uint64_t>(archive_entry_size(entry))
                                       : 0;
        if (readFirst && contents.tapes.empty()) first = ReadEntry(reader, path, name);
        contents.tapes.push_back({std::move(name), size, index});
    }
    contents.archive = true;
    if (first) {
        const ArchiveTape& tape = contents.tapes.front();
        Kept().Keep(TapeLocation(path, tape.name, tape.index), reader.Stamp(), std::move(first));
    }
    return contents;
}

}  // namespace

bool IsArchiveName(std::string_view name) {
    return std::any_of(kArchiveSuffixes.begin(), kArchiveSuffixes.end(),
                       [name](std::string_view suffix) { return EndsWithNoCase(name, suffix); });
}

bool IsTapeFileName(std::string_view name) {
    return EndsWithNoCase(name, ".tap") || EndsWithNoCase(name, ".tzx");
}

TapeFileContents FindTapes(const std::string& path) {
    try {
        return Walk(path, true);
    } catch (const ArchiveError&) {
        // The first tape's bytes could not be had: the listing alone says whether the archive
        // itself is at fault, and the tape's failure comes when it is read, as for any tape.
        return Walk(path, false);
    }
}

std::shared_ptr<const std::vector<std::uint8_t>> ReadArchiveEntry(const TapeLocation& location) {
    const std::string& entryName = location.entry;
    if (const std::optional<FileStamp> now = StampOfFile(location.path)) {
        if (EntryBytes kept = Kept().Find(location, *now)) return kept;
    }
    std::optional<ArchiveReader> reader;
    reader.emplace(location.path, ArchiveReader::Mode::Formats);
    bool found = false;
    for (unsigned index = 0; !found; ++index) {
        const ArchiveReader::Step step = reader->Next();
        if (step == ArchiveReader::Step::End) break;
        if (step == ArchiveReader::Step::Unrecognised) {
            // A compressed single file: its one stream, in a second pass of its own.
            if (!reader->Compressed() || StreamName(location.path) != entryName) break;
            reader.emplace(location.path, ArchiveReader::Mode::Raw);
            found = reader->Next() == ArchiveReader::Step::Entry;
            break;
        }
        // At its place, or later when entries before it went since the scan.
        found = index >= location.index && EntryName(reader->Entry()) == entryName;
    }
    if (!found) {
        throw ArchiveError("The archive " + location.path + " no longer holds the tape " +
                           entryName);
    }
    EntryBytes bytes = ReadEntry(*reader, location.path, entryName);
    Kept().Keep(location, reader->Stamp(), bytes);
    return bytes;
}

}  // namespace brisalto
