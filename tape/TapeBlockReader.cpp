// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeBlockReader.h"

#include <algorithm>
#include <array>
#include <span>

#include "TapeFile.h"

namespace brisalto {

namespace {

// Each TZX block is an ID byte, fixed fields, then a part whose length the fixed fields give:
// a little-endian count of lengthBytes bytes at lengthAt, times unit.
struct BlockLayout {
    std::uint8_t fixed = 4;
    std::uint8_t lengthAt = 0;
    std::uint8_t lengthBytes = 4;
    std::uint8_t unit = 1;
    bool body = false;  // the counted part is a TAP block body
};

constexpr std::array<BlockLayout, 256> MakeLayouts() {
    // Undefined IDs: a 4-byte length of what follows, the rule for every block added after 1.00.
    std::array<BlockLayout, 256> layouts{};
    const auto set = [&layouts](std::uint8_t id, std::uint8_t fixed, std::uint8_t lengthAt = 0,
                                std::uint8_t lengthBytes = 0, std::uint8_t unit = 1,
                                bool body = false) {
        layouts[id] = {fixed, lengthAt, lengthBytes, unit, body};
    };
    set(0x10, 4, 2, 2, 1, true);    // standard speed data: pause, length, body
    set(0x11, 18, 15, 3, 1, true);  // turbo speed data: timings, used bits, pause, length, body
    set(0x12, 4);                   // pure tone: pulse length, pulse count
    set(0x13, 1, 0, 1, 2);          // pulse sequence: count, 2-byte pulse lengths
    set(0x14, 10, 7, 3, 1, true);   // pure data: timings, used bits, pause, length, body
    set(0x15, 8, 5, 3);             // direct recording: rate, pause, used bits, length, samples
    set(0x16, 4, 0, 4);             // C64 ROM data (deprecated): 4-byte length, by the rule
    set(0x17, 4, 0, 4);             // C64 turbo data (deprecated): the same
    set(0x18, 4, 0, 4);             // CSW recording
    set(0x19, 4, 0, 4);             // generalized data
    set(0x20, 2);                   // pause or stop the tape
    set(0x21, 1, 0, 1);             // group start: name length, name
    set(0x22, 0);                   // group end
    set(0x23, 2);                   // jump to block
    set(0x24, 2);                   // loop start
    set(0x25, 0);                   // loop end
    set(0x26, 2, 0, 2, 2);          // call sequence: count, 2-byte offsets
    set(0x27, 0);                   // return from sequence
    set(0x28, 2, 0, 2);             // select block: length of the rest
    set(0x2A, 4, 0, 4);             // stop in 48K mode: 4-byte length, 0
    set(0x2B, 4, 0, 4);             // signal level: 4-byte length, 1, then the level
    set(0x30, 1, 0, 1);             // text description
    set(0x31, 2, 1, 1);             // message: time, length, text
    set(0x32, 2, 0, 2);             // archive info: length of the rest, whatever its strings say
    set(0x33, 1, 0, 1, 3);          // hardware type: count, 3-byte entries
    set(0x34, 8);                   // emulation info (deprecated)
    set(0x35, 20, 16, 4);           // custom info: 16-character identification, length, data
    set(0x40, 4, 1, 3);             // snapshot (deprecated): type, 3-byte length, snapshot
    set(0x5A, 9);                   // glue: "XTape!" 0x1A and two version bytes
    return layouts;
}

constexpr std::array<BlockLayout, 256> kLayouts = MakeLayouts();

static_assert(std::ranges::all_of(kLayouts, [](const BlockLayout& layout) {
    return layout.fixed <= kLongestFixedFields &&
           layout.lengthAt + layout.lengthBytes <= layout.fixed;
}));

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
    block.fixed = {0xE8, 0x03, length[0], length[1]};
    block.fixedSize = 4;
    block.partLength = Count(length);
    block.length = 2 + block.partLength;
    if (!ReadBody(file_, static_cast<std::uint32_t>(block.partLength), block.body.emplace()))
        return BlockStep::Damaged;
    return BlockStep::Block;
}

BlockStep TapeBlockReader::NextTzx(TapeBlock& block) {
    std::uint8_t id = 0;
    const std::uint64_t position = file_.Position();
    if (file_.ReadSome(std::span(&id, 1)) == 0) return BlockStep::End;
    const BlockLayout& layout = kLayouts[id];
    block = {};
    block.id = id;
    block.position = position;
    block.fixedSize = layout.fixed;
    const std::span fields(block.fixed.data(), layout.fixed);
    if (file_.ReadSome(fields) != fields.size()) return BlockStep::Damaged;
    block.partLength = Count(fields.subspan(layout.lengthAt, layout.lengthBytes)) * layout.unit;
    block.length = 1 + layout.fixed + block.partLength;

    if (layout.body) {
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
