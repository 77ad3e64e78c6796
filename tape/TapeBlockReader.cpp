// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeBlockReader.h"

#include <algorithm>
#include <array>
#include <span>

#include "TapeFile.h"

namespace brisalto {

namespace {


std::uint64_t Count(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i > 0; --i) value = value << 8 | bytes[i - 1];
    return value;
}

// Reads a body of length bytes at the file's position, keeping its first bytes and working out
// its checksum from every byte on the way. False when the file ends first.
bool ReadBody(TapeFile& file, std::uint32_t length, BlockBody& body) {
    body = {};
    body.position = file.Position();
    body.length = length;
    std::uint8_t sum = 0;
    std::uint8_t last = 0;
    std::size_t at = 0;
    const std::uint64_t got = file.ReadPieces(length, [&](std::span<const std::uint8_t> piece) {
        if (at < body.first.size()) {
            const std::size_t keep = std::min(piece.size(), body.first.size() - at);
            std::copy_n(piece.begin(), keep, body.first.begin() + static_cast<std::ptrdiff_t>(at));
        }
        for (const std::uint8_t byte : piece) sum ^= byte;
        last = piece.back();
        at += piece.size();
    });
    if (got != length) return false;
    if (length > 0) body.checksum = BlockChecksum{last, static_cast<std::uint8_t>(sum ^ last)};
    return true;
}

}  // namespace

TapeBlockReader::TapeBlockReader(TapeFile& file) : file_(file) {
    std::array<std::uint8_t, kTzxSignature.size() + 2> start{};
    const std::size_t got = file_.ReadSome(start);
    if (got < kTzxSignature.size() ||
        !std::equal(kTzxSignature.begin(), kTzxSignature.end(), start.begin())) {
        file_.Seek(0);
        return;
    }
    tzx_ = TzxVersion{start[kTzxSignature.size()], start[kTzxSignature.size() + 1]};
    cut_ = got != start.size();
}

BlockStep TapeBlockReader::Next(TapeBlock& block) {
    if (cut_) return BlockStep::Damaged;
    return tzx_ ? NextTzx(block) : NextTap(block);
}

bool TapeBlockReader::AtEnd() {
    return file_.AtEnd();
}

BlockStep TapeBlockReader::NextTap(TapeBlock& block) {
    if (file_.AtEnd()) return BlockStep::End;
    block = {};
    block.position = file_.Position();
    std::array<std::uint8_t, 2> length{};
    file_.ReadExact(length);
    // As a TZX standard speed block: a pause of 1,000 ms, then the length.
    block.partLength = Count(length);
    block.fixedSize = KindOf(tzx::kStandardSpeed).fixedSize;
    const std::span fields(block.fixed.data(), block.fixedSize);
    PutField(fields, tzx::standard::kPause, 1000);
    PutField(fields, tzx::standard::kLength, static_cast<std::uint32_t>(block.partLength));
    block.length = 2 + block.partLength;
    if (!ReadBody(file_, static_cast<std::uint32_t>(block.partLength), block.body.emplace()))
        return BlockStep::Damaged;
    return BlockStep::Block;
}

BlockStep TapeBlockReader::NextTzx(TapeBlock& block) {
    std::uint8_t id = 0;
    const std::uint64_t position = file_.Position();
    if (file_.ReadSome(std::span(&id, 1)) == 0) return BlockStep::End;
    const BlockKind& kind = KindOf(id);
    block = {};
    block.id = id;
    block.position = position;
    block.fixedSize = kind.fixedSize;
    const std::span fields(block.fixed.data(), kind.fixedSize);
    if (file_.ReadSome(fields) != fields.size()) return BlockStep::Damaged;
    block.partLength = static_cast<std::uint64_t>(block.Field(kind.length)) * kind.unit;
    block.length = 1 + kind.fixedSize + block.partLength;

    if (kind.body) {
        return ReadBody(file_, static_cast<std::uint32_t>(block.partLength), block.body.emplace())
                   ? BlockStep::Block
                   : BlockStep::Damaged;
    }
    block.part.resize(
        static_cast<std::size_t>(std::min<std::uint64_t>(block.partLength, kMaxKeptPart)));
    if (file_.ReadSome(block.part) != block.part.size()) return BlockStep::Damaged;
    const std::uint64_t rest = block.partLength - block.part.size();
    return file_.Skip(rest) == rest ? BlockStep::Block : BlockStep::Damaged;
}

}  // namespace brisalto
