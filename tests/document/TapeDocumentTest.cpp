// SPDX-License-Identifier: GPL-3.0-or-later
// A file longer than a tape is read is read to there, and the tape is damaged there even when a
// block ends exactly at the cut.
#include <gtest/gtest.h>

#include "ReadTapeBytes.h"
#include "TapeDocument.h"
#include "TempTape.h"

namespace brisalto {
namespace {

TEST(TapeDocument, AFileLongerThanATapeIsReadIsDamagedWhereItWasCut) {
    // The TZX signature, then a generalized data block whose length runs to the cut, then a
    // pause after it.
    testing::Bytes file = {'Z', 'X', 'T', 'a', 'p', 'e', '!', 0x1A, 1, 20, 0x19};
    const std::uint64_t length = kMaxTapeFileBytes - file.size() - 4;
    for (int shift = 0; shift < 32; shift += 8) file.push_back(std::uint8_t(length >> shift));
    file.resize(kMaxTapeFileBytes);
    file.insert(file.end(), {0x20, 0xE8, 0x03});
    const testing::TempTape tape(file, "long.tzx");

    const TapeDocument document = ReadTapeDocument(tape.Path());
    EXPECT_EQ(document.Bytes().size(), kMaxTapeFileBytes);
    ASSERT_EQ(document.blocks.size(), 1u);
    EXPECT_EQ(document.WholeBlocksEnd(), kMaxTapeFileBytes);
    EXPECT_EQ(document.result, ScanResult::Damaged);

    // Three bytes shorter, the same file is whole.
    file.resize(kMaxTapeFileBytes);
    tape.Rewrite(file);
    EXPECT_EQ(ReadTapeDocument(tape.Path()).result, ScanResult::Completed);
}

}  // namespace
}  // namespace brisalto
