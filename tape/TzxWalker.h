// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "BlockBuffer.h"
#include "BlockWalker.h"
#include "ScanDetails.h"

namespace brisalto {

class TapeFile;

enum class TzxStart {
    NotTzx,  // no TZX signature: the file is back at its start
    Tzx,     // signature and version read: the first block is next
    Cut,     // the signature, then the file ends before the two version bytes
};

// Reads a TZX file's signature, "ZXTape!" 0x1A, and its version bytes into version.
TzxStart ReadTzxStart(TapeFile& file, ScanDetails::Version& version);

// Walks the blocks of a TZX file after its signature. The standard speed, turbo speed and pure
// data blocks (IDs 0x10, 0x11, 0x14) carry a TAP block body; every other block is walked over by
// its own length fields. An ID the format does not define is taken to follow the format's rule
// for later blocks: a 4-byte length of what follows it.
class TzxWalker final : public BlockWalker {
public:
    // texts, when given, receives the text blocks (0x30 to 0x33) as they are walked over.
    explicit TzxWalker(TapeFile& file, std::vector<TzxTextBlock>* texts = nullptr)
        : file_(file), texts_(texts) {}
    WalkStep Next(BodyBlock& block) override;
    bool AtEnd() override;

private:
    bool KeepText(std::uint8_t id, std::uint64_t position,
                  std::span<const std::uint8_t> fields, std::uint64_t length);

    TapeFile& file_;
    std::vector<TzxTextBlock>* texts_;
    std::uint64_t textBytes_ = 0;
    BlockBuffer buffer_;
};

}  // namespace brisalto
