// SPDX-License-Identifier: GPL-3.0-or-later
#include "ConvertTape.h"

#include <algorithm>
#include <array>
#include <map>
#include <span>
#include <utility>

#include "TzxBlockCodec.h"

namespace brisalto {

namespace {

using Bytes = std::span<const std::uint8_t>;

// The version a TZX written here says it is: 1.20.
constexpr std::uint8_t kTzxMajor = 1;
constexpr std::uint8_t kTzxMinor = 20;
constexpr std::uint16_t kTapPauseMs = 1000;
constexpr std::uint64_t kMaxTapBody = 0xFFFF;

void Append(std::vector<std::uint8_t>& out, Bytes bytes) {
    out.insert(out.end(), bytes.begin(), bytes.end());
}

void AppendWord(std::vector<std::uint8_t>& out, std::uint64_t value) {
    out.push_back(static_cast<std::uint8_t>(value & 0xFF));
    out.push_back(static_cast<std::uint8_t>(value >> 8 & 0xFF));
}

// The body's bytes; the document keeps every whole block's bytes, so one outside them is a
// document not made by its reader.
Bytes BodyBytes(const TapeDocument& document, const BlockBody& body) {
    const Bytes all = document.Bytes();
    if (body.position > all.size() || body.length > all.size() - body.position)
        throw TapeChangedError();
    return all.subspan(static_cast<std::size_t>(body.position), body.length);
}

Bytes WholeBlocks(const TapeDocument& document) {
    const Bytes all = document.Bytes();
    return all.first(
        static_cast<std::size_t>(std::min<std::uint64_t>(document.WholeBlocksEnd(), all.size())));
}

// TAP blocks: a standard speed data block each, with its pause and its body.
std::vector<std::uint8_t> TapAsTzx(const TapeDocument& document) {
    std::vector<std::uint8_t> out;
    tzx::WriteTzxSignature(out, kTzxMajor, kTzxMinor);
    for (const TapeBlock& block : document.blocks) {
        if (!block.body) continue;
        const Bytes body = BodyBytes(document, *block.body);
        // A TAP block's 2-byte length is the standard block's own, so every one fits.
        tzx::WriteTzxBlock(tzx::StandardSpeedBlock{kTapPauseMs, {body.begin(), body.end()}}, out);
    }
    return out;
}

// Each data block's body after its length word; what has no body, or too long a one, counted.
std::vector<std::uint8_t> TzxAsTap(const TapeDocument& document,
                                   std::vector<LeftOutBlocks>& leftOut) {
    std::vector<std::uint8_t> out;
    std::map<std::pair<std::uint8_t, bool>, std::uint64_t> counts;
    for (const TapeBlock& block : document.blocks) {
        if (!block.body || block.body->length > kMaxTapBody) {
            ++counts[{block.id, block.body.has_value()}];
            continue;
        }
        AppendWord(out, block.body->length);
        Append(out, BodyBytes(document, *block.body));
    }
    for (const auto& [kind, count] : counts) leftOut.push_back({kind.first, kind.second, count});
    return out;
}

}  // namespace

ConvertedTape ConvertTape(const TapeDocument& document, TapeFormat format) {
    ConvertedTape converted;
    converted.damaged = document.result == ScanResult::Damaged;
    const bool isTzx = document.tzx.has_value();
    if (isTzx == (format == TapeFormat::Tzx)) {
        const Bytes whole = WholeBlocks(document);
        converted.bytes.assign(whole.begin(), whole.end());
    } else if (format == TapeFormat::Tzx) {
        converted.bytes = TapAsTzx(document);
    } else {
        converted.bytes = TzxAsTap(document, converted.leftOut);
    }
    return converted;
}

}  // namespace brisalto
