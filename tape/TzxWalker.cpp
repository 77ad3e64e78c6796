// SPDX-License-Identifier: GPL-3.0-or-later
#include "TzxWalker.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "BlockBody.h"
#include "TapeFile.h"

namespace brisalto {

namespace {

constexpr std::array<std::uint8_t, 8> kSignature = {'Z', 'X', 'T', 'a', 'p', 'e', '!', 0x1A};

// Each block is an ID byte, fixed fields, then a part whose length the fixed fields give:
// a little-endian count of lengthBytes bytes at lengthAt, times unit.
struct BlockLayout {
    std::uint8_t fixed = 4;
    std::uint8_t lengthAt = 0;
    std::uint8_t lengthBytes = 4;
    std::uint8_t unit = 1;
    bool body = false;  // the counted part is a TAP block body
};

constexpr std::size_t kLongestFixed = 20;

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
    return layout.fixed <= kLongestFixed && layout.lengthAt + layout.lengthBytes <= layout.fixed;
}));

std::uint64_t Count(std::span<const std::uint8_t> bytes) {
    std::uint64_t value = 0;
    for (std::size_t i = bytes.size(); i > 0; --i) value = value << 8 | bytes[i - 1];
    return value;
}

}  // namespace

TzxStart ReadTzxStart(TapeFile& file, ScanDetails::Version& version) {
    std::array<std::uint8_t, kSignature.size() + 2> start{};
    const std::size_t got = file.ReadSome(start);
    if (got < kSignature.size() ||
        !std::equal(kSignature.begin(), kSignature.end(), start.begin())) {
        file.Seek(0);
        return TzxStart::NotTzx;
    }
    if (got != start.size()) return TzxStart::Cut;
    version = {start[kSignature.size()], start[kSignature.size() + 1]};
    return TzxStart::Tzx;
}

WalkStep TzxWalker::Next(BodyBlock& block) {
    std::uint8_t id = 0;
    if (file_.ReadSome(std::span(&id, 1)) == 0) return WalkStep::End;
    const BlockLayout& layout = kLayouts[id];

    std::array<std::uint8_t, kLongestFixed> fixed{};
    const std::span fields(fixed.data(), layout.fixed);
    if (file_.ReadSome(fields) != fields.size()) return WalkStep::Damaged;
    const std::uint64_t length =
        Count(fields.subspan(layout.lengthAt, layout.lengthBytes)) * layout.unit;

    if (!layout.body) {
        if (texts_ != nullptr && id >= 0x30 && id <= 0x33)
            return KeepText(id, file_.Position() - fields.size() - 1, fields, length)
                       ? WalkStep::Skipped
                       : WalkStep::Damaged;
        return file_.Skip(length) == length ? WalkStep::Skipped : WalkStep::Damaged;
    }
    block.length = static_cast<std::uint32_t>(length);
    block.position = file_.Position();
    block.bytes = &buffer_;
    return ReadBlockBody(file_, buffer_, block.length, block.checksum) ? WalkStep::Body
                                                                       : WalkStep::Damaged;
}

bool TzxWalker::AtEnd() {
    return file_.AtEnd();
}

bool TzxWalker::KeepText(std::uint8_t id, std::uint64_t position,
                         std::span<const std::uint8_t> fields, std::uint64_t length) {
    // Text blocks are short (the longest, archive information, under 64 KiB); a hostile tape of
    // many of them keeps only the first megabyte of texts and walks over the rest.
    constexpr std::uint64_t kMaxTextBytes = 1 << 20;
    if (textBytes_ + length > kMaxTextBytes) return file_.Skip(length) == length;
    TzxTextBlock text{id, position, {fields.begin(), fields.end()}};
    text.bytes.resize(fields.size() + static_cast<std::size_t>(length));
    const std::span rest(text.bytes.data() + fields.size(), static_cast<std::size_t>(length));
    if (file_.ReadSome(rest) != rest.size()) return false;
    textBytes_ += length;
    texts_->push_back(std::move(text));
    return true;
}

}  // namespace brisalto
