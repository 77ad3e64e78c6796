// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "HexLines.h"

namespace brisalto {
namespace {

TEST(HexLines, MarksFlagAndChecksumAndGivesLoadAddresses) {
    // A Bytes block loading at 0x8000: flag, 17 data bytes, checksum.
    std::vector<std::uint8_t> block = {0xFF, 'A', 0x5E, 0x60, 0x7F, 0x00, 0x80, 0x20, '~'};
    for (std::uint8_t b = 0x30; b < 0x39; ++b) block.push_back(b);
    block.push_back(0x3C);
    const std::vector<std::string> expected = {
        "Offset  Addr  Bytes",
        "0000  8000 [FF]41 5E 60 7F 00 80 20 7E 30 31 32 33 34 35 36  .A↑£©.. ~0123456",
        "0010  800F  37 38[3C]                                        78<",
    };
    EXPECT_EQ(HexLines(block, {true, 0x8000}), expected);
}

TEST(HexLines, EdgesOfTheLines) {
    const std::vector<std::uint8_t> sixteen(16, 0x41);
    EXPECT_EQ(HexLines(sixteen, {false, std::nullopt}),
              (std::vector<std::string>{
                  "Offset  Bytes",
                  "0000  41 41 41 41 41 41 41 41 41 41 41 41 41 41 41 41  AAAAAAAAAAAAAAAA"}));
    // A checksum that closes a full line puts its bracket after the last byte.
    EXPECT_EQ(HexLines(sixteen, {true, std::nullopt}).back(),
              "0000 [41]41 41 41 41 41 41 41 41 41 41 41 41 41 41[41] AAAAAAAAAAAAAAAA");
    EXPECT_EQ(HexLines({}, {true, 0x4000}), (std::vector<std::string>{"Offset  Addr  Bytes"}));
    const std::vector<std::uint8_t> flagOnly = {0x00};
    EXPECT_EQ(HexLines(flagOnly, {true, std::nullopt}).back(),
              "0000 [00]                                              .");
}

}  // namespace
}  // namespace brisalto
