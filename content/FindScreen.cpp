// SPDX-License-Identifier: GPL-3.0-or-later
#include "FindScreen.h"

#include <algorithm>

#include "BlockBytes.h"
#include "TapeDocument.h"

namespace brisalto {

namespace {

// The block's piece when its data is size bytes, by the rule in the header.
std::optional<ScreenPiece> PieceOf(std::span<const TapeBlock> blocks, std::size_t index,
                                   std::uint32_t size) {
    const TapeBlock& block = blocks[index];
    if (!block.body) return std::nullopt;
    const BlockBody& body = *block.body;
    ScreenPiece piece{.block = index,
                      .position = body.position,
                      .length = body.length,
                      .checksum = body.checksum,
                      .skip = 1,
                      .size = size};
    if (body.length == size + 2) return piece;
    if (block.id == tzx::kPureData && body.length == size) {
        piece.skip = 0;
        return piece;
    }
    return std::nullopt;
}

// The nearest block after index (step +1) or before it (step -1) that carries a body.
std::optional<std::size_t> NeighbourWithBody(std::span<const TapeBlock> blocks, std::size_t index,
                                             int step) {
    std::size_t at = index;
    while (step > 0 ? at + 1 < blocks.size() : at > 0) {
        at = step > 0 ? at + 1 : at - 1;
        if (blocks[at].body) return at;
    }
    return std::nullopt;
}

std::optional<ScreenPlace> SplitFrom(std::span<const TapeBlock> blocks, std::size_t bitmap) {
    const auto first = PieceOf(blocks, bitmap, kScreenBitmapBytes);
    if (!first) return std::nullopt;
    const auto next = NeighbourWithBody(blocks, bitmap, +1);
    if (!next) return std::nullopt;
    const auto second = PieceOf(blocks, *next, kScreenAttributeBytes);
    if (!second) return std::nullopt;
    return ScreenPlace{.first = *first, .attributes = *second};
}

}  // namespace

bool CouldHoldScreen(std::uint32_t length) noexcept {
    for (const std::uint32_t size :
         {std::uint32_t{kScreenBytes}, kScreenBitmapBytes, kScreenAttributeBytes}) {
        if (length == size || length == size + 2) return true;
    }
    return false;
}

std::optional<ScreenPlace> FindScreen(std::span<const TapeBlock> blocks, std::size_t index) {
    if (index >= blocks.size() || !blocks[index].body) return std::nullopt;
    if (const auto whole = PieceOf(blocks, index, kScreenBytes))
        return ScreenPlace{.first = *whole, .attributes = std::nullopt};
    if (const auto split = SplitFrom(blocks, index)) return split;
    // The attributes' half: the block before it with a body holds the bitmap.
    if (!PieceOf(blocks, index, kScreenAttributeBytes)) return std::nullopt;
    const auto previous = NeighbourWithBody(blocks, index, -1);
    if (!previous) return std::nullopt;
    return SplitFrom(blocks, *previous);
}

std::vector<ScreenPlace> FindScreens(std::span<const TapeBlock> blocks) {
    std::vector<ScreenPlace> screens;
    for (std::size_t index = 0; index < blocks.size(); ++index) {
        auto place = FindScreen(blocks, index);
        if (place && place->first.block == index) screens.push_back(std::move(*place));
    }
    return screens;
}

std::optional<std::size_t> BlockWithBodyAt(std::span<const TapeBlock> blocks,
                                           std::uint64_t position) {
    // Blocks are in file order, and a body lies inside its block.
    const auto after = std::upper_bound(
        blocks.begin(), blocks.end(), position,
        [](std::uint64_t at, const TapeBlock& block) { return at < block.position; });
    if (after == blocks.begin()) return std::nullopt;
    const auto block = after - 1;
    if (!block->body || block->body->position != position) return std::nullopt;
    return static_cast<std::size_t>(block - blocks.begin());
}

const ScreenPlace* ScreenOfRow(std::span<const ScreenPlace> screens, const CatalogueRow& row) {
    const auto isRow = [&row](const ScreenPiece& piece) {
        return piece.position == row.Position && piece.length == row.Length &&
               piece.checksum.has_value() == row.Checksum.has_value() &&
               (!piece.checksum || (piece.checksum->stored == row.Checksum->stored &&
                                    piece.checksum->computed == row.Checksum->computed));
    };
    for (const ScreenPlace& place : screens) {
        if (isRow(place.first) || (place.attributes && isRow(*place.attributes))) return &place;
    }
    return nullptr;
}

std::array<std::uint8_t, kScreenBytes> ReadScreenBytes(const TapeDocument& document,
                                                       const ScreenPlace& place) {
    std::array<std::uint8_t, kScreenBytes> screen{};
    std::size_t filled = 0;
    for (const ScreenPiece* piece :
         {&place.first, place.attributes ? &*place.attributes : nullptr}) {
        if (piece == nullptr) continue;
        const std::vector<std::uint8_t> body =
            BodyAt(document, piece->position, piece->length, piece->checksum);
        // A piece is made to fit its body and the screen; a place made any other way is no screen.
        if (std::size_t{piece->skip} + piece->size > body.size() ||
            filled + piece->size > screen.size())
            throw TapeChangedError();
        const auto from = body.begin() + piece->skip;
        std::copy(from, from + piece->size, screen.begin() + std::ptrdiff_t(filled));
        filled += piece->size;
    }
    if (filled != screen.size()) throw TapeChangedError();
    return screen;
}

}  // namespace brisalto
