// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExactTzxBlocks.h"

#include <algorithm>

#include "TzxBlockCodec.h"

namespace brisalto {

namespace {

// The block's bytes; none for fields no block holds, which the limits above keep from coming.
TzxBlockBytes Written(const tzx::TzxBlockFields& fields) {
    return tzx::BytesOf(fields).value_or(TzxBlockBytes{});
}

tzx::ByteString Copy(std::span<const std::uint8_t> bytes) {
    return {bytes.begin(), bytes.end()};
}

}  // namespace

TzxBlockBytes StandardBlock(std::uint16_t pauseMs, std::span<const std::uint8_t> body) {
    return Written(tzx::StandardSpeedBlock{pauseMs, Copy(body)});
}

TzxBlockBytes TurboBlock(const TurboTimings& timings, std::uint8_t usedBits, std::uint16_t pauseMs,
                         std::span<const std::uint8_t> body) {
    return Written(tzx::TurboSpeedBlock{timings.pilot, timings.sync1, timings.sync2, timings.zero,
                                        timings.one, timings.pilotPulses, usedBits, pauseMs,
                                        Copy(body)});
}

TzxBlockBytes PureDataBlock(std::uint16_t zero, std::uint16_t one, std::uint8_t usedBits,
                            std::uint16_t pauseMs, std::span<const std::uint8_t> body) {
    return Written(tzx::PureDataBlock{zero, one, usedBits, pauseMs, Copy(body)});
}

// No pilot symbols; two data symbols, each begun by an edge (flags 0) and as many pulses as the
// longer has, 0 ending a shorter one; one bit a symbol.
TzxBlockBytes GeneralizedDataBlock(std::span<const std::uint16_t> zero,
                                   std::span<const std::uint16_t> one, std::uint32_t bits,
                                   std::uint16_t pauseMs, std::span<const std::uint8_t> body) {
    const std::size_t most = std::min<std::size_t>(std::max(zero.size(), one.size()), 255);
    tzx::GeneralizedDataBlock block;
    block.header.pause = pauseMs;
    block.header.dataSymbolsInBlock = bits;
    block.header.dataPulsesPerSymbol = static_cast<std::uint8_t>(most);
    block.header.dataAlphabet = 2;
    for (const auto symbol : {zero, one}) {
        tzx::GeneralizedSymbol& written = block.dataSymbols.emplace_back();
        for (std::size_t i = 0; i < most; ++i)
            written.pulses.push_back(i < symbol.size() ? symbol[i] : std::uint16_t{0});
    }
    block.dataStream = Copy(body);
    return Written(block);
}

TzxBlockBytes ToneBlock(std::uint16_t pulse, std::uint16_t count) {
    return Written(tzx::PureToneBlock{pulse, count});
}

TzxBlockBytes PulsesBlock(std::span<const std::uint16_t> pulses) {
    const auto kept = pulses.first(std::min<std::size_t>(pulses.size(), 255));
    return Written(tzx::PulseSequenceBlock{{kept.begin(), kept.end()}});
}

TzxBlockBytes PauseBlock(std::uint16_t pauseMs) {
    return Written(tzx::PauseBlock{pauseMs});
}

TzxBlockBytes StopIn48KBlock() {
    return Written(tzx::StopIn48KBlock{});
}

TzxBlockBytes TextBlock(std::string_view text) {
    return Written(tzx::TextDescriptionBlock{std::string(text.substr(0, 255))});
}

// As many entries as the block's count (255) and its 2-byte length hold: the length counts the
// count byte and each entry's ID, text length and text.
TzxBlockBytes ArchiveInfoBlock(const std::vector<std::pair<std::uint8_t, std::string>>& entries) {
    tzx::ArchiveInfoBlock block;
    std::size_t length = 1;
    for (const auto& [id, text] : entries) {
        const std::string_view kept = std::string_view(text).substr(0, 255);
        if (block.entries.size() == 255 || length + 2 + kept.size() > 0xFFFF) break;
        length += 2 + kept.size();
        block.entries.push_back({id, std::string(kept)});
    }
    return Written(block);
}

}  // namespace brisalto
