// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeDocument.h"

#include <utility>

#include "CatalogueRow.h"
#include "DecodeRecording.h"
#include "InOutError.h"
#include "ReadTapeBytes.h"
#include "RecordingErrors.h"
#include "RecoveredBlock.h"
#include "TapeFile.h"

namespace brisalto {

namespace {

// Follows a recording's blocks as they come, into the TZX file that holds them one after
// another behind its 10-byte header, for the first one damaged.
class SoundDamageFinder {
public:
    void Take(const RecoveredBlock& block) {
        const std::uint64_t start = position_;
        position_ += block.tzx.size();
        const bool note = !block.tzx.empty() && block.tzx.front() == kTextBlockId;
        if (block.data && (block.broke || !block.checksumGood) && !found_) {
            // The note told of this block: the damage starts with it.
            found_ = TapeDocument::SoundDamage{noteBefore_ ? noteStart_ : start, noteText_};
            if (found_->reason.empty()) found_->reason = "A block read from the sound is damaged";
        }
        noteBefore_ = note;
        noteStart_ = start;
        noteText_ = note && block.tzx.size() > 2
                        ? std::string(block.tzx.begin() + 2, block.tzx.end())
                        : std::string();
    }
    std::optional<TapeDocument::SoundDamage> Found() const { return found_; }

private:
    static constexpr std::uint8_t kTextBlockId = 0x30;
    std::uint64_t position_ = 10;
    bool noteBefore_ = false;
    std::uint64_t noteStart_ = 0;
    std::string noteText_;
    std::optional<TapeDocument::SoundDamage> found_;
};

}  // namespace

std::uint64_t TapeDocument::WholeBlocksEnd() const noexcept {
    if (blocks.empty()) return tzx ? std::min<std::uint64_t>(10, Bytes().size()) : 0;
    return blocks.back().position + blocks.back().length;
}

TapeDocument ReadTapeDocument(const TapeLocation& location, const RecordingProgress& progress,
                              const FoundBlocks& found) {
    return TapeDocumentFromRead(location, ReadTapeBytes(location), progress, found);
}

TapeDocument TapeDocumentFromRead(const TapeLocation& location, ReadBytes read,
                                  const RecordingProgress& progress, const FoundBlocks& found) {
    if (read.recording) {
        SoundDamageFinder damage;
        DecodedRecording decoded = DecodeRecording(
            *read.recording,
            [&damage, &found](RecoveredBlock block) {
                damage.Take(block);
                if (found) found(block);
            },
            progress);
        read.recording->Close();
        const std::uint64_t end = decoded.tzx.size();
        TapeDocument document = TapeDocumentFromBytes(
            location, std::make_shared<const std::vector<std::uint8_t>>(std::move(decoded.tzx)));
        document.stamp = read.stamp;
        document.soundDamage = damage.Found();
        if (!decoded.cut.empty()) {
            document.failure = std::make_exception_ptr(RecordingError(decoded.cut));
            document.result = ScanResult::Damaged;
            // Why it was cut says more than the block the cut broke.
            const std::uint64_t position =
                document.soundDamage ? document.soundDamage->position : end;
            document.soundDamage = TapeDocument::SoundDamage{position, decoded.cut};
        }
        return document;
    }
    TapeDocument document = TapeDocumentFromBytes(location, std::move(read.bytes));
    document.stamp = read.stamp;
    // What lies past the bytes read is not the tape's: it ends damaged there.
    if (read.cut) document.result = ScanResult::Damaged;
    return document;
}

TapeDocument TapeDocumentFromBytes(TapeLocation location,
                                   std::shared_ptr<const std::vector<std::uint8_t>> bytes) {
    TapeDocument document;
    document.location = std::move(location);
    document.bytes = std::move(bytes);
    TapeFile file(document.bytes);
    std::uint64_t kept = 0;
    try {
        document.result = ReadTapeBlocks(file, &document.details, [&](const TapeBlock& block) {
            document.blocks.push_back(block);
            kept += block.part.size();
            if (kept > kMaxKeptParts) document.blocks.back().part = {};
        });
    } catch (const InOutError&) {
        document.failure = std::current_exception();
        document.result = ScanResult::Damaged;
    }
    document.tzx = document.details.tzxVersion;
    return document;
}

TapeChangedError::TapeChangedError()
    : std::runtime_error("The tape has changed since it was opened; open it again.") {}

std::vector<std::uint8_t> BodyAt(const TapeDocument& document, std::uint64_t position,
                                 std::uint32_t length,
                                 const std::optional<BlockChecksum>& checksum) {
    const std::span<const std::uint8_t> bytes = document.Bytes();
    if (position > bytes.size() || length > bytes.size() - position) throw TapeChangedError();
    std::vector<std::uint8_t> body(bytes.begin() + static_cast<std::ptrdiff_t>(position),
                                   bytes.begin() + static_cast<std::ptrdiff_t>(position + length));
    if (body.empty() != !checksum) throw TapeChangedError();
    if (body.empty()) return body;
    std::uint8_t computed = 0;
    for (std::size_t i = 0; i + 1 < body.size(); ++i) computed ^= body[i];
    if (checksum->stored != body.back() || checksum->computed != computed) throw TapeChangedError();
    return body;
}

std::vector<std::uint8_t> BodyAt(const TapeDocument& document, const CatalogueRow& row) {
    return BodyAt(document, row.Position, row.Length, row.Checksum);
}

}  // namespace brisalto
