// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeSoundBytes.h"

#include <algorithm>
#include <array>
#include <string>

#include "CatalogueSink.h"
#include "ScanTape.h"
#include "SoundError.h"
#include "TapeFile.h"

namespace brisalto {

namespace {

constexpr std::array<std::uint8_t, 8> kTzxSignature = {'Z', 'X', 'T', 'a', 'p', 'e', '!', 0x1A};
constexpr std::size_t kTzxHeader = 10;  // the signature and the two version bytes

// Keeps of the rows only what the sound needs: the chosen row, by its number or by its block's
// place, and where the last one ends.
class SoundRows final : public CatalogueSink {
public:
    SoundRows(std::optional<std::size_t> index, std::optional<std::uint64_t> position)
        : index_(index), position_(position) {}
    void Add(const CatalogueRow& row) override {
        if (count_ == index_ || row.Position == position_) {
            chosen_ = row;
            chosenIndex_ = count_;
        }
        ++count_;
        end_ = row.Position + row.Length;
    }
    void AddUnfinished(const CatalogueRow&) override {}

    std::size_t Count() const noexcept { return count_; }
    const std::optional<CatalogueRow>& Chosen() const noexcept { return chosen_; }
    std::size_t ChosenIndex() const noexcept { return chosenIndex_; }
    std::uint64_t End() const noexcept { return end_; }

private:
    std::optional<std::size_t> index_;
    std::optional<std::uint64_t> position_;
    std::size_t count_ = 0;
    std::optional<CatalogueRow> chosen_;
    std::size_t chosenIndex_ = 0;
    std::uint64_t end_ = 0;
};

// A TZX block that holds a flag byte: its ID, how far its flag lies after the ID, and where its
// body's length field lies after the ID and how many bytes it has.
struct BodyBlock {
    std::uint8_t id;
    std::size_t flagAfter;
    std::size_t lengthAt;
    std::size_t lengthBytes;
};

constexpr std::array<BodyBlock, 3> kBodyBlocks = {{
    {0x10, 5, 3, 2},    // pause, length
    {0x11, 19, 16, 3},  // pilot, syncs, bits, pilot count, last bits, pause, length
    {0x14, 11, 8, 3},   // bits, last bits, pause, length
}};

std::uint64_t LittleEndian(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i > 0; --i) value = value * 256 + bytes[i - 1];
    return value;
}

std::vector<std::uint8_t> ReadAll(const TapeLocation& location) {
    TapeFile file(location);
    std::vector<std::uint8_t> bytes;
    file.ReadPieces(kMaxSoundTapeBytes + 1, [&](std::span<const std::uint8_t> piece) {
        bytes.insert(bytes.end(), piece.begin(), piece.end());
    });
    if (bytes.size() > kMaxSoundTapeBytes) {
        throw SoundError("The tape is too large to sound (more than 64 MiB)");
    }
    return bytes;
}

}  // namespace

std::size_t BlockStart(std::span<const std::uint8_t> tape, bool tzx, const CatalogueRow& row) {
    if (!tzx) {
        if (row.Position >= 2 && row.Position <= tape.size()) return row.Position - 2;
    } else {
        for (const BodyBlock& block : kBodyBlocks) {
            if (row.Position < kTzxHeader + block.flagAfter || row.Position > tape.size()) continue;
            const std::size_t id = row.Position - block.flagAfter;
            const auto length = tape.subspan(id + block.lengthAt, block.lengthBytes);
            if (tape[id] == block.id && LittleEndian(length) == row.Length) return id;
        }
    }
    throw SoundError("The block of the row is not where the tape was read");
}

namespace {

// From the chosen row's block, or from the start when rows chooses none and none was asked for.
// askedRow, when given, names the row in the message for a tape without it.
TapeSoundBytes ReadFrom(const TapeLocation& location, SoundRows& rows, bool fromRow,
                        std::optional<std::size_t> askedRow) {
    const ScanResult scan = ScanRows(location, true, rows);
    TapeSoundBytes sound;
    sound.rows = rows.Count();
    sound.firstRow = rows.ChosenIndex();
    sound.damaged = scan == ScanResult::Damaged;
    if (sound.damaged && rows.Count() == 0) {
        throw SoundError("The tape is damaged before its first block");
    }
    if (fromRow && !rows.Chosen()) {
        if (!askedRow) throw SoundError("The tape has no block there any more");
        throw SoundError("The tape has no row " + std::to_string(*askedRow + 1) + " (it has " +
                         std::to_string(rows.Count()) + ")");
    }
    std::vector<std::uint8_t> all = ReadAll(location);
    sound.tzx = all.size() >= kTzxSignature.size() &&
                std::equal(kTzxSignature.begin(), kTzxSignature.end(), all.begin());
    // What follows the last whole block of a damaged tape is left out: the sound library would
    // refuse the whole tape for it.
    if (sound.damaged) {
        all.resize(static_cast<std::size_t>(std::min<std::uint64_t>(rows.End(), all.size())));
    }
    if (fromRow) {
        const std::size_t start = BlockStart(all, sound.tzx, *rows.Chosen());
        const std::size_t kept = sound.tzx ? kTzxHeader : 0;
        all.erase(all.begin() + static_cast<std::ptrdiff_t>(kept),
                  all.begin() + static_cast<std::ptrdiff_t>(start));
    }
    sound.bytes = std::move(all);
    return sound;
}

}  // namespace

TapeSoundBytes ReadTapeSoundBytes(const TapeLocation& location,
                                  std::optional<std::size_t> fromRow) {
    SoundRows rows(fromRow, std::nullopt);
    return ReadFrom(location, rows, fromRow.has_value(), fromRow);
}

TapeSoundBytes ReadTapeSoundBytesAt(const TapeLocation& location, std::uint64_t position) {
    SoundRows rows(std::nullopt, position);
    return ReadFrom(location, rows, true, std::nullopt);
}

}  // namespace brisalto
