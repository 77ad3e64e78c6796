// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeSoundBytes.h"

#include <algorithm>
#include <array>
#include <exception>
#include <string>

#include "ScanTape.h"
#include "SoundError.h"
#include "SoundLibraryGuard.h"
#include "TapeBlock.h"
#include "TapeFile.h"

namespace brisalto {

namespace {

constexpr std::size_t kTzxHeader = 10;  // the signature and the two version bytes

// Keeps of the tape's blocks only what the sound needs: the chosen row's block, by the row's
// number or by its body's place, and where the last whole block ends. A row is a block with a
// header or data flag, as the catalogue lists them with raw blocks shown.
class SoundBlocks {
public:
    SoundBlocks(std::optional<std::size_t> index, std::optional<std::uint64_t> position)
        : index_(index), position_(position) {}
    void Take(const TapeBlock& block) {
        end_ = block.position + block.length;
        if (!IsRowBlock(block)) return;
        if (count_ == index_ || block.body->position == position_) {
            chosenStart_ = block.position;
            chosenIndex_ = count_;
            positions_.clear();
        }
        positions_.push_back(block.body->position);
        starts_.push_back(block.position);
        ++count_;
    }

    std::size_t Count() const noexcept { return count_; }
    const std::optional<std::uint64_t>& ChosenStart() const noexcept { return chosenStart_; }
    std::size_t ChosenIndex() const noexcept { return chosenIndex_; }
    std::uint64_t End() const noexcept { return end_; }
    // The positions of the rows' bodies from the chosen row on (all rows when none was chosen).
    std::vector<std::uint64_t>& Positions() noexcept { return positions_; }
    // How many rows have their block before the file position at.
    std::size_t RowsBefore(std::uint64_t at) const {
        return static_cast<std::size_t>(std::lower_bound(starts_.begin(), starts_.end(), at) -
                                        starts_.begin());
    }

private:
    std::optional<std::size_t> index_;
    std::optional<std::uint64_t> position_;
    std::size_t count_ = 0;
    std::optional<std::uint64_t> chosenStart_;  // file position of the block's first byte
    std::size_t chosenIndex_ = 0;
    std::uint64_t end_ = 0;
    std::vector<std::uint64_t> positions_;
    std::vector<std::uint64_t> starts_;  // file position of every row's block, in order
};

std::vector<std::uint8_t> AllBytes(const TapeDocument& document) {
    const std::span<const std::uint8_t> bytes = document.Bytes();
    if (bytes.size() > kMaxSoundTapeBytes) {
        throw SoundError("The tape is too large to sound (more than 64 MiB)");
    }
    return {bytes.begin(), bytes.end()};
}

}  // namespace

namespace {

// From the chosen row's block, or from the start when rows chooses none and none was asked for.
// askedRow, when given, names the row in the message for a tape without it.
TapeSoundBytes ReadFrom(const TapeDocument& document, SoundBlocks& rows, bool fromRow,
                        std::optional<std::size_t> askedRow) {
    for (const TapeBlock& block : document.blocks) rows.Take(block);
    if (document.failure) std::rethrow_exception(document.failure);
    const ScanResult scan = document.result;
    TapeSoundBytes sound;
    sound.rows = rows.Count();
    sound.firstRow = rows.ChosenIndex();
    sound.damaged = scan == ScanResult::Damaged;
    if (sound.damaged && rows.Count() == 0) {
        throw SoundError("The tape is damaged before its first block");
    }
    if (fromRow && !rows.ChosenStart()) {
        if (!askedRow) throw SoundError("The tape has no block there any more");
        throw SoundError("The tape has no row " + std::to_string(*askedRow + 1) + " (it has " +
                         std::to_string(rows.Count()) + ")");
    }
    std::vector<std::uint8_t> all = AllBytes(document);
    sound.tzx = all.size() >= kTzxSignature.size() &&
                std::equal(kTzxSignature.begin(), kTzxSignature.end(), all.begin());
    // What follows the last whole block of a damaged tape is left out: the sound library would
    // refuse the whole tape for it.
    if (sound.damaged) {
        all.resize(static_cast<std::size_t>(std::min<std::uint64_t>(rows.End(), all.size())));
    }
    if (fromRow) {
        const auto start = static_cast<std::size_t>(*rows.ChosenStart());
        const std::size_t kept = sound.tzx ? kTzxHeader : 0;
        all.erase(all.begin() + static_cast<std::ptrdiff_t>(kept),
                  all.begin() + static_cast<std::ptrdiff_t>(start));
    }
    sound.rowPositions = std::move(rows.Positions());
    // A block that libspectrum would read outside of ends the sound before it, as the damage of
    // a damaged tape does.
    if (sound.tzx) {
        if (const std::optional<UnsoundBlock> unsound = FindUnsoundBlock(all)) {
            const std::uint64_t at =
                fromRow ? *rows.ChosenStart() + (unsound->offset - kTzxHeader) : unsound->offset;
            const std::size_t before = rows.RowsBefore(at);
            if (before <= sound.firstRow) {
                throw SoundError("The sound library cannot read the block at byte " +
                                 std::to_string(at) + " safely: " + unsound->reason);
            }
            all.resize(unsound->offset);
            sound.damaged = true;
            sound.rows = before;
            sound.rowPositions.resize(before - sound.firstRow);
            sound.stop = "It cannot be sounded from the block at byte " + std::to_string(at) +
                         ": " + unsound->reason + ".";
        }
    }
    sound.bytes = std::move(all);
    return sound;
}

}  // namespace

TapeSoundBytes ReadTapeSoundBytes(const TapeDocument& document,
                                  std::optional<std::size_t> fromRow) {
    SoundBlocks rows(fromRow, std::nullopt);
    return ReadFrom(document, rows, fromRow.has_value(), fromRow);
}

TapeSoundBytes ReadTapeSoundBytesAt(const TapeDocument& document, std::uint64_t position) {
    SoundBlocks rows(std::nullopt, position);
    return ReadFrom(document, rows, true, std::nullopt);
}

}  // namespace brisalto
