// SPDX-License-Identifier: GPL-3.0-or-later
#include "ExactTzxBlocks.h"

#include <algorithm>

#include "TzxBlockKinds.h"

namespace brisalto {

namespace {

// A block of id with its fixed fields zero, to be filled with Put.
TzxBlockBytes Fixed(std::uint8_t id) {
    TzxBlockBytes block(1 + KindOf(id).fixedSize, 0);
    block[0] = id;
    return block;
}

void Put(TzxBlockBytes& block, const BlockField& field, std::uint32_t value) {
    PutField(std::span(block).subspan(1), field, value);
}

void Append(TzxBlockBytes& block, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) block.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

TzxBlockBytes WithBody(TzxBlockBytes block, std::span<const std::uint8_t> body) {
    block.insert(block.end(), body.begin(), body.end());
    return block;
}

}  // namespace

TzxBlockBytes StandardBlock(std::uint16_t pauseMs, std::span<const std::uint8_t> body) {
    TzxBlockBytes block = Fixed(tzx::kStandardSpeed);
    Put(block, tzx::standard::kPause, pauseMs);
    Put(block, tzx::standard::kLength, static_cast<std::uint32_t>(body.size()));
    return WithBody(std::move(block), body);
}

TzxBlockBytes TurboBlock(const TurboTimings& timings, std::uint8_t usedBits, std::uint16_t pauseMs,
                         std::span<const std::uint8_t> body) {
    TzxBlockBytes block = Fixed(tzx::kTurboSpeed);
    Put(block, tzx::turbo::kPilotPulse, timings.pilot);
    Put(block, tzx::turbo::kSync1Pulse, timings.sync1);
    Put(block, tzx::turbo::kSync2Pulse, timings.sync2);
    Put(block, tzx::turbo::kZeroPulse, timings.zero);
    Put(block, tzx::turbo::kOnePulse, timings.one);
    Put(block, tzx::turbo::kPilotPulses, timings.pilotPulses);
    Put(block, tzx::turbo::kUsedBits, usedBits);
    Put(block, tzx::turbo::kPause, pauseMs);
    Put(block, tzx::turbo::kLength, static_cast<std::uint32_t>(body.size()));
    return WithBody(std::move(block), body);
}

TzxBlockBytes PureDataBlock(std::uint16_t zero, std::uint16_t one, std::uint8_t usedBits,
                            std::uint16_t pauseMs, std::span<const std::uint8_t> body) {
    TzxBlockBytes block = Fixed(tzx::kPureData);
    Put(block, tzx::pure::kZeroPulse, zero);
    Put(block, tzx::pure::kOnePulse, one);
    Put(block, tzx::pure::kUsedBits, usedBits);
    Put(block, tzx::pure::kPause, pauseMs);
    Put(block, tzx::pure::kLength, static_cast<std::uint32_t>(body.size()));
    return WithBody(std::move(block), body);
}

// 0x19 after its ID and 4-byte length: pause, TOTP (4), NPP, ASP, TOTD (4), NPD, ASD, then with
// no pilot symbols the data symbols' table (each a flags byte, 0 for an edge at its start, and
// NPD pulses, 0 ending a shorter one) and the data stream, one bit a symbol of two.
TzxBlockBytes GeneralizedDataBlock(std::span<const std::uint16_t> zero,
                                   std::span<const std::uint16_t> one, std::uint32_t bits,
                                   std::uint16_t pauseMs, std::span<const std::uint8_t> body) {
    const std::size_t most = std::min<std::size_t>(std::max(zero.size(), one.size()), 255);
    TzxBlockBytes contents;
    Append(contents, pauseMs, 2);
    Append(contents, 0, 4);
    contents.insert(contents.end(), {0, 0});
    Append(contents, bits, 4);
    contents.insert(contents.end(), {static_cast<std::uint8_t>(most), 2});
    for (const auto symbol : {zero, one}) {
        contents.push_back(0);
        for (std::size_t i = 0; i < most; ++i)
            Append(contents, i < symbol.size() ? symbol[i] : 0, 2);
    }
    contents.insert(contents.end(), body.begin(), body.end());
    TzxBlockBytes block{tzx::kGeneralizedData};
    Append(block, contents.size(), 4);
    return WithBody(std::move(block), contents);
}

TzxBlockBytes ToneBlock(std::uint16_t pulse, std::uint16_t count) {
    TzxBlockBytes block = Fixed(tzx::kPureTone);
    Put(block, tzx::tone::kPulse, pulse);
    Put(block, tzx::tone::kPulses, count);
    return block;
}

TzxBlockBytes PulsesBlock(std::span<const std::uint16_t> pulses) {
    const std::size_t count = std::min<std::size_t>(pulses.size(), 255);
    TzxBlockBytes block = Fixed(tzx::kPulseSequence);
    Put(block, tzx::pulses::kCount, static_cast<std::uint32_t>(count));
    for (std::size_t i = 0; i < count; ++i) Append(block, pulses[i], 2);
    return block;
}

TzxBlockBytes PauseBlock(std::uint16_t pauseMs) {
    TzxBlockBytes block = Fixed(tzx::kPause);
    Put(block, tzx::pause::kPause, pauseMs);
    return block;
}

TzxBlockBytes StopIn48KBlock() {
    TzxBlockBytes block{tzx::kStop48K};
    Append(block, 0, 4);
    return block;
}

TzxBlockBytes TextBlock(std::string_view text) {
    text = text.substr(0, 255);
    TzxBlockBytes block{tzx::kTextDescription, static_cast<std::uint8_t>(text.size())};
    block.insert(block.end(), text.begin(), text.end());
    return block;
}

// 0x32 after its ID: the length of the rest (2 bytes), the count of entries, then each entry's
// ID, its text's length and the text.
TzxBlockBytes ArchiveInfoBlock(const std::vector<std::pair<std::uint8_t, std::string>>& entries) {
    TzxBlockBytes contents{0};
    for (const auto& [id, text] : entries) {
        const std::string_view kept = std::string_view(text).substr(0, 255);
        if (contents[0] == 255 || contents.size() + 2 + kept.size() > 0xFFFF) break;
        ++contents[0];
        contents.push_back(id);
        contents.push_back(static_cast<std::uint8_t>(kept.size()));
        contents.insert(contents.end(), kept.begin(), kept.end());
    }
    TzxBlockBytes block{tzx::kArchiveInfo};
    Append(block, contents.size(), 2);
    return WithBody(std::move(block), contents);
}

}  // namespace brisalto
