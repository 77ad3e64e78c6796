// SPDX-License-Identifier: GPL-3.0-or-later
// Where a tape keeps its screens: whole in any block kind and under any flag, split in two
// blocks, and read back through the block reader, which notices a changed tape.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "BlockBytes.h"
#include "FindScreen.h"
#include "TapeDocument.h"
#include "TempTape.h"
#include "TzxBuilder.h"

namespace brisalto::testing {
namespace {

// Screen bytes that differ from their neighbours, so that a shifted or mixed-up read shows.
Bytes ScreenBytes() {
    Bytes screen(kScreenBytes);
    for (std::size_t i = 0; i < screen.size(); ++i) screen[i] = std::uint8_t(i * 7 + i / 256);
    return screen;
}

Bytes Part(std::size_t from, std::size_t count) {
    const Bytes screen = ScreenBytes();
    return {screen.begin() + std::ptrdiff_t(from), screen.begin() + std::ptrdiff_t(from + count)};
}

// flag, data, checksum
Bytes Body(std::uint8_t flag, const Bytes& data) {
    Bytes body{flag};
    body.insert(body.end(), data.begin(), data.end());
    return WithChecksum(body);
}

const Bytes kBitmap = Part(0, kScreenBitmapBytes);
const Bytes kAttributes = Part(kScreenBitmapBytes, kScreenAttributeBytes);
const Bytes kHeader = Body(0x00, Bytes(17, 0x20));

struct Expected {
    std::size_t first;
    std::optional<std::size_t> attributes;
};

struct FindCase {
    const char* what;
    Bytes tape;
    std::size_t asked;  // block index
    std::optional<Expected> found;
    bool changeTape = false;  // a screen byte changed after the tape was read
};

TEST(FindScreen, WhereATapeKeepsItsScreens) {
    Bytes wrongSum = Body(0xFF, ScreenBytes());
    wrongSum.back() ^= 1;
    Bytes shortScreen = Body(0xFF, ScreenBytes());
    shortScreen.resize(100);
    const std::vector<FindCase> cases = {
        {"a standard data block in a TAP file",
         TapeBuilder().Header(3, "s", 6912, 16384).Data(ScreenBytes()).Get(), 1, Expected{1, {}}},
        {"its header is no screen",
         TapeBuilder().Header(3, "s", 6912, 16384).Data(ScreenBytes()).Get(),
         0,
         {}},
        {"a turbo block under flag 0",
         TzxBuilder().Other(0x30).Body(Body(0x00, ScreenBytes()), 0x11).Get(), 1, Expected{1, {}}},
        {"a pure data block with flag and checksum",
         TzxBuilder().Body(Body(0xFF, ScreenBytes()), 0x14).Get(), 0, Expected{0, {}}},
        {"a pure data block of the bare 6,912 bytes", TzxBuilder().Body(ScreenBytes(), 0x14).Get(),
         0, Expected{0, {}}},
        {"a wrong checksum is still a screen", TapeBuilder().Block(wrongSum).Get(), 0,
         Expected{0, {}}},
        {"split: asked at the bitmap", TapeBuilder().Data(kBitmap).Data(kAttributes).Get(), 0,
         Expected{0, 1}},
        {"split: asked at the attributes", TapeBuilder().Data(kBitmap).Data(kAttributes).Get(), 1,
         Expected{0, 1}},
        {"split in pure data blocks with a tone and a pause between",
         TzxBuilder().Body(kBitmap, 0x14).Other(0x12).Other(0x20).Body(kAttributes, 0x14).Get(), 3,
         Expected{0, 3}},
        {"split in a turbo block under flag 0 and a data block",
         TzxBuilder().Body(Body(0x00, kBitmap), 0x11).Body(Body(0xFF, kAttributes)).Get(), 0,
         Expected{0, 1}},
        {"a header between the halves parts them",
         TapeBuilder().Data(kBitmap).Block(kHeader).Data(kAttributes).Get(),
         0,
         {}},
        {"attributes after attributes are no half",
         TapeBuilder().Data(kBitmap).Data(kAttributes).Data(kAttributes).Get(),
         2,
         {}},
        {"a bitmap alone", TapeBuilder().Data(kBitmap).Get(), 0, {}},
        {"attributes alone", TapeBuilder().Data(kAttributes).Get(), 0, {}},
        {"a byte too many", TapeBuilder().Data(Bytes(6913)).Get(), 0, {}},
        {"a byte too few", TapeBuilder().Data(Part(0, 6911)).Get(), 0, {}},
        // A standard or turbo block always has its flag and checksum: 6,910 bytes of data.
        {"a standard block of 6,912 bytes in all",
         TzxBuilder().Body(ScreenBytes(), 0x10).Get(),
         0,
         {}},
        {"a turbo block of 6,912 bytes in all",
         TzxBuilder().Body(ScreenBytes(), 0x11).Get(),
         0,
         {}},
        {"a tape that ends inside its screen block",
         Concat({TapeBuilder().Data({1, 2}).Get(), {0x02, 0x1B}, shortScreen}),
         1,
         {}},
        {"past the last block", TapeBuilder().Data(ScreenBytes()).Get(), 1, {}},
        {"the tape changed after it was read", TapeBuilder().Data(ScreenBytes()).Get(), 0,
         Expected{0, {}}, true},
    };
    for (const FindCase& c : cases) {
        SCOPED_TRACE(c.what);
        const TempTape file(c.tape, "screen.tzx");
        const TapeDocument tape = ReadTapeDocument(file.Path());
        const std::optional<ScreenPlace> place = FindScreen(tape.blocks, c.asked);
        ASSERT_EQ(place.has_value(), c.found.has_value());
        // The cheap test before reading a tape's blocks lets every screen through.
        if (place) {
            EXPECT_TRUE(CouldHoldScreen(tape.blocks[c.asked].body->length));
        }
        const std::vector<ScreenPlace> all = FindScreens(tape.blocks);
        if (!place) {
            for (const ScreenPlace& screen : all) EXPECT_NE(screen.first.block, c.asked);
            continue;
        }
        EXPECT_EQ(place->first.block, c.found->first);
        ASSERT_EQ(place->Split(), c.found->attributes.has_value());
        if (place->Split()) {
            EXPECT_EQ(place->attributes->block, *c.found->attributes);
        }
        ASSERT_EQ(all.size(), 1u);
        EXPECT_EQ(all[0].first.block, c.found->first);
        // A catalogue row's position leads back to its block.
        EXPECT_EQ(BlockWithBodyAt(tape.blocks, place->first.position), c.found->first);
        if (c.changeTape) {
            Bytes changed = c.tape;
            changed[100] ^= 0xFF;
            file.Rewrite(changed);
            EXPECT_THROW(ReadScreenBytes(brisalto::ReadTapeDocument(file.Path()), *place),
                         TapeChangedError);
            continue;
        }
        const auto screen = ReadScreenBytes(brisalto::ReadTapeDocument(file.Path()), *place);
        EXPECT_EQ(Bytes(screen.begin(), screen.end()), ScreenBytes());
    }
}

}  // namespace
}  // namespace brisalto::testing
