// SPDX-License-Identifier: GPL-3.0-or-later
#include "PzxBuilder.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace brisalto::testing {

namespace {

void Word32(Bytes& bytes, std::uint32_t value) {
    AppendWord(bytes, static_cast<std::uint16_t>(value & 0xFFFF));
    AppendWord(bytes, static_cast<std::uint16_t>(value >> 16));
}

void Block(Bytes& file, std::string_view tag, const Bytes& body) {
    file.insert(file.end(), tag.begin(), tag.end());
    Word32(file, static_cast<std::uint32_t>(body.size()));
    file.insert(file.end(), body.begin(), body.end());
}

}  // namespace

Bytes RomPzx(const Bytes& tap) {
    Bytes file;
    Block(file, "PZXT", {1, 0});
    for (std::size_t at = 0; tap.size() - at >= 2;) {
        const std::size_t length = tap[at] | tap[at + 1] << 8;
        const Bytes body(tap.begin() + std::ptrdiff_t(at + 2),
                         tap.begin() + std::ptrdiff_t(std::min(tap.size(), at + 2 + length)));
        at += 2 + body.size();
        const std::uint16_t pilots = !body.empty() && body[0] < 0x80 ? 8063 : 3223;
        Bytes pulses;
        AppendWord(pulses, static_cast<std::uint16_t>(0x8000 | pilots));
        AppendWord(pulses, 2168);
        AppendWord(pulses, 667);
        AppendWord(pulses, 735);
        Block(file, "PULS", pulses);
        // The pilot and syncs leave the level high (an odd count of pulses from low).
        Bytes data;
        Word32(data, 0x8000'0000u | static_cast<std::uint32_t>(body.size() * 8));
        AppendWord(data, 945);
        data.push_back(2);
        data.push_back(2);
        for (const int pulse : {855, 855, 1710, 1710})
            AppendWord(data, static_cast<std::uint16_t>(pulse));
        data.insert(data.end(), body.begin(), body.end());
        Block(file, "DATA", data);
        Bytes pause;
        Word32(pause, 3'500'000);
        Block(file, "PAUS", pause);
    }
    return file;
}

Bytes TonePzx(std::uint32_t pulses, std::uint16_t length) {
    Bytes file;
    Block(file, "PZXT", {1, 0});
    Bytes words;
    for (std::uint32_t run = 0; run < pulses / 50; ++run) {
        AppendWord(words, 0x8000 | 50);
        AppendWord(words, static_cast<std::uint16_t>(length + run % 2));
    }
    Block(file, "PULS", words);
    return file;
}

}  // namespace brisalto::testing
