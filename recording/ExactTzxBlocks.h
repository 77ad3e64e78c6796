// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace brisalto {

// Whole TZX blocks, ID first, for sound a pulse file holds exactly: its data blocks with their
// timings, tones, pulses, pauses and texts. Lengths in T-states, pauses in milliseconds.
using TzxBlockBytes = std::vector<std::uint8_t>;

// The pilot and sync pulses of a turbo block and its bits' pulses.
struct TurboTimings {
    std::uint16_t pilot = 0, sync1 = 0, sync2 = 0, zero = 0, one = 0;
    std::uint16_t pilotPulses = 0;
};

// The largest body a turbo or pure data block's 3-byte length holds.
inline constexpr std::size_t kMostTurboBody = 0xFFFFFF;

// 0x10 at the ROM's timings; body of at most 65,535 bytes.
TzxBlockBytes StandardBlock(std::uint16_t pauseMs, std::span<const std::uint8_t> body);
// 0x11; body of at most kMostTurboBody bytes, usedBits of its last byte (1 to 8).
TzxBlockBytes TurboBlock(const TurboTimings& timings, std::uint8_t usedBits, std::uint16_t pauseMs,
                         std::span<const std::uint8_t> body);
// 0x14, as 0x11 without pilot and syncs.
TzxBlockBytes PureDataBlock(std::uint16_t zero, std::uint16_t one, std::uint8_t usedBits,
                            std::uint16_t pauseMs, std::span<const std::uint8_t> body);
// 0x19 of no pilot and two data symbols, each its pulses (at most 255) begun by an edge: bits
// symbols, the most significant bit of each byte of body first.
TzxBlockBytes GeneralizedDataBlock(std::span<const std::uint16_t> zero,
                                   std::span<const std::uint16_t> one, std::uint32_t bits,
                                   std::uint16_t pauseMs, std::span<const std::uint8_t> body);
// 0x12
TzxBlockBytes ToneBlock(std::uint16_t pulse, std::uint16_t count);
// 0x13 of at most 255 pulses.
TzxBlockBytes PulsesBlock(std::span<const std::uint16_t> pulses);
// 0x20; a pause of 0 stops the tape.
TzxBlockBytes PauseBlock(std::uint16_t pauseMs);
// 0x2A
TzxBlockBytes StopIn48KBlock();
// 0x30 of text's first 255 bytes.
TzxBlockBytes TextBlock(std::string_view text);
// 0x32 of (ID, text) entries, each text's first 255 bytes, as many entries as its 2-byte
// length holds.
TzxBlockBytes ArchiveInfoBlock(const std::vector<std::pair<std::uint8_t, std::string>>& entries);

}  // namespace brisalto
