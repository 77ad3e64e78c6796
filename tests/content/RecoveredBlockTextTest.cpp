// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "RecoveredBlockText.h"

namespace brisalto {
namespace {

using Bytes = std::vector<std::uint8_t>;

// A standard speed block (0x10: pause 1000 ms, length) around body.
Bytes Standard(const Bytes& body) {
    Bytes tzx{0x10, 0xE8, 0x03, static_cast<std::uint8_t>(body.size()), 0};
    for (const std::uint8_t byte : body) tzx.push_back(byte);
    return tzx;
}

RecoveredBlock Data(Bytes tzx, std::uint32_t length, bool good,
                    std::optional<BlockBreak> broke = std::nullopt) {
    return {std::move(tzx), 12.34, true, length, good, broke};
}

// Sound kept, or the decoder's note, at seconds.
RecoveredBlock Kept(Bytes tzx, double seconds) {
    return {std::move(tzx), seconds, false, 0, false, std::nullopt};
}

TEST(RecoveredBlockText, SaysWhatEachBlockWasAsItComes) {
    const Bytes header{0x00, 0x00, 'h',  'e',  'l',  'l',  'o',  ' ',  ' ', ' ',
                       ' ',  ' ',  0x0A, 0x00, 0x0A, 0x00, 0x0A, 0x00, 0x48};
    Bytes turbo(19, 0);
    turbo[0] = 0x11;
    for (const std::uint8_t byte : Bytes{0xFF, 0x01, 0x02, 0x03, 0xFF}) turbo.push_back(byte);
    const struct {
        RecoveredBlock block;
        std::string text;
    } cases[] = {
        {Data(Standard(header), 19, true), "12.3 s: Program: \"hello     \" LINE 10"},
        {Data(Standard({0xFF, 1, 2, 3, 0xFF}), 5, true),
         "12.3 s: data block, flag 255, 3 bytes, checksum good"},
        {Data(Standard({0xFF, 1, 0xFF}), 3, false),
         "12.3 s: data block, flag 255, 1 byte, checksum bad"},
        // A header's length whose checksum is wrong is no header.
        {Data(Standard(Bytes(19, 0)), 19, false),
         "12.3 s: data block, flag 0, 17 bytes, checksum bad"},
        {Data(Standard({0xFF, 1, 2}), 3, false, BlockBreak{3, 14.56}),
         "12.3 s: data block, flag 255, damaged at byte 3 (14.6 s)"},
        {Data(turbo, 5, true), "12.3 s: turbo data block, flag 255, 3 bytes, checksum good"},
        // Bytes fewer than the length says: worded from those there are.
        {Data({0x10, 0xE8, 0x03, 0x13, 0x00, 0x00}, 19, false),
         "12.3 s: data block, flag 0, 0 bytes, checksum bad"},
        {Data({0x10}, 19, false), "12.3 s: data block, 0 bytes, checksum bad"},
        {Kept({0x30, 4, 'N', 'o', 't', 'e'}, 1), "1.0 s: Note"},
        {Kept({0x30, 9, 'N', 'o'}, 1), "1.0 s: No"},
        {Kept({0x13, 1, 0x10, 0x00}, 2), "2.0 s: Pulse sequence"},
        {Kept({}, 0), "0.0 s: nothing"},
    };
    for (const auto& c : cases) EXPECT_EQ(RecoveredBlockText(c.block), c.text);
}

}  // namespace
}  // namespace brisalto
