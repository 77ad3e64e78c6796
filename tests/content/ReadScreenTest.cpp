#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "ReadScreen.h"
#include "TapeBuilder.h"

namespace brisalto {
namespace {

using testing::Bytes;
using testing::TempTape;

// A header-less tape: one block whose flag is at position 2, holding a screen whose top left
// pixel is set in bright yellow INK, and a good checksum.
struct ScreenTape {
    Bytes bytes;
    BlockChecksum checksum;
};

ScreenTape MakeScreenTape() {
    Bytes body(kScreenBytes + 2, 0);
    body[0] = 0xFF;
    body[1] = 0x80;                  // first bitmap byte
    body[1 + 0x1800] = 0x40 | 0x06;  // first attribute: BRIGHT INK 6
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < body.size(); ++i) sum ^= body[i];
    body.back() = sum;
    return {testing::TapeBuilder().Block(body).Get(), {sum, sum}};
}

TEST(ReadScreen, ReadsAndDecodesTheBlockAtItsPosition) {
    const ScreenTape screen = MakeScreenTape();
    const TempTape tape(screen.bytes);
    ScreenPixels pixels;
    ASSERT_TRUE(ReadScreen(tape.Path(), 2, screen.checksum, pixels));
    EXPECT_EQ(pixels[0], 14);
    EXPECT_EQ(pixels[1], 8);  // BRIGHT PAPER 0
}

TEST(ReadScreen, NoPictureWhenTheTapeNoLongerHoldsTheScannedBlock) {
    const ScreenTape screen = MakeScreenTape();
    ScreenPixels pixels;
    {
        SCOPED_TRACE("deleted");
        std::string path;
        {
            const TempTape tape(screen.bytes);
            path = tape.Path();
        }
        EXPECT_FALSE(std::filesystem::exists(path));
        EXPECT_FALSE(ReadScreen(path, 2, screen.checksum, pixels));
    }
    const TempTape tape(screen.bytes);
    {
        SCOPED_TRACE("one screen byte changed");
        Bytes changed = screen.bytes;
        changed[100] ^= 0x01;
        tape.Rewrite(changed);
        EXPECT_FALSE(ReadScreen(tape.Path(), 2, screen.checksum, pixels));
    }
    {
        SCOPED_TRACE("cut short");
        tape.Rewrite(Bytes(screen.bytes.begin(), screen.bytes.end() - 1));
        EXPECT_FALSE(ReadScreen(tape.Path(), 2, screen.checksum, pixels));
    }
    {
        SCOPED_TRACE("position past the end");
        tape.Rewrite(screen.bytes);
        EXPECT_FALSE(ReadScreen(tape.Path(), 1u << 20, screen.checksum, pixels));
        EXPECT_TRUE(ReadScreen(tape.Path(), 2, screen.checksum, pixels));
    }
}

}  // namespace
}  // namespace brisalto
