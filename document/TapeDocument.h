// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <exception>
#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "BlockChecksum.h"
#include "CatalogueRow.h"
#include "OsFile.h"
#include "ReadTapeBytes.h"
#include "RecordingProgress.h"
#include "RecoveredBlock.h"
#include "ScanDetails.h"
#include "ScanTape.h"
#include "TapeBlock.h"
#include "TapeBlockReader.h"
#include "TapeLocation.h"

namespace brisalto {

// A tape held in memory: its bytes as one read gave them (a file whole, or an archive entry
// unpacked), and every block of every kind in file order with everything it holds. Everything
// Brisalto shows of a tape (rows, listings, details, screens, tooltips, thumbnails, sound,
// conversions) is a view of one of these; none goes back to the file.
struct TapeDocument {
    TapeLocation location;  // where the bytes came from; a name only for a tape made in memory
    std::shared_ptr<const std::vector<std::uint8_t>> bytes;
    FileStamp stamp;                // the file's (or the archive's) length and time when read
    std::optional<TzxVersion> tzx;  // set for a TZX tape
    std::vector<TapeBlock> blocks;
    ScanResult result = ScanResult::Completed;  // Damaged: the blocks up to the damage
    ScanDetails details;                        // the counts and texts a scan reports
    // What stopped the read partway (a TAP file that ends inside a length), the blocks before it
    // kept; the rows made of the document end with it, as a scan of the file does.
    std::exception_ptr failure;
    // For a tape read back from a recording: where the first damage lies in bytes (a block that
    // broke off or fails its checksum, from the note before it; the bytes' end for a recording
    // read only to a point) and why, in words. The blocks after it stay, as the window shows
    // them all; the console, which takes a damaged recording as a damaged tape, ends it there.
    struct SoundDamage {
        std::uint64_t position = 0;
        std::string reason;
    };
    std::optional<SoundDamage> soundDamage;

    std::span<const std::uint8_t> Bytes() const noexcept {
        return bytes ? std::span<const std::uint8_t>(*bytes) : std::span<const std::uint8_t>();
    }
    // The file position just past the last whole block: all of a completed tape, the part before
    // the damage of a damaged one.
    std::uint64_t WholeBlocksEnd() const noexcept;
};

// The most bytes of blocks' counted parts a document keeps beside its bytes; past it, blocks
// keep their fixed fields only (a hostile tape of a million text blocks stays small). The whole
// parts are always in the document's bytes.
inline constexpr std::uint64_t kMaxKeptParts = 16u << 20;

// Reads the tape at location with one open of its file (an archive entry comes from the walk
// that found it while the archive is unchanged), with ScanTape's block cap and damaged result; a
// file longer than kMaxTapeFileBytes is a tape damaged there. A sound recording (WAV, FLAC, CSW,
// PZX...; told by its content) is decoded as it streams into the TZX tape of what it holds,
// telling progress; one read only to a point ends damaged there, with the reason as the
// document's failure. Input/output and archive failures travel out, and so do RecordingError
// and RecordingCancelled. A recording's blocks are handed to found as they are read, each a TZX
// block of the tape it decodes into (after a TZX header, one after another).
using FoundBlocks = std::function<void(const RecoveredBlock&)>;
TapeDocument ReadTapeDocument(const TapeLocation& location, const RecordingProgress& progress = {},
                              const FoundBlocks& found = {});

// The same for what ReadTapeBytes read of location: its bytes, or the recording to decode.
TapeDocument TapeDocumentFromRead(const TapeLocation& location, ReadBytes read,
                                  const RecordingProgress& progress = {},
                                  const FoundBlocks& found = {});

// A document of bytes already in memory (a converted tape, a recording read back), named by
// location.
TapeDocument TapeDocumentFromBytes(TapeLocation location,
                                   std::shared_ptr<const std::vector<std::uint8_t>> bytes);

// The tape's bytes where a block was are not the block that was seen there.
class TapeChangedError : public std::runtime_error {
public:
    TapeChangedError();
};

// The body (flag, data, checksum) of length bytes at position: TapeChangedError unless they are
// in the document and give the checksum seen (checksum unset for a body of no bytes).
std::vector<std::uint8_t> BodyAt(const TapeDocument& document, std::uint64_t position,
                                 std::uint32_t length,
                                 const std::optional<BlockChecksum>& checksum);
// The same for the block behind a catalogue row.
std::vector<std::uint8_t> BodyAt(const TapeDocument& document, const CatalogueRow& row);

}  // namespace brisalto
