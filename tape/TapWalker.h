// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "BlockBuffer.h"
#include "BlockWalker.h"

namespace brisalto {

class TapeFile;

// A TAP file is a plain sequence of blocks: a 16-bit little-endian length N, then N body bytes.
// Every block has a body. A file that ends inside a length fails with "Read beyond end of file".
class TapWalker final : public BlockWalker {
public:
    explicit TapWalker(TapeFile& file) : file_(file) {}
    WalkStep Next(BodyBlock& block) override;
    bool AtEnd() override;

private:
    TapeFile& file_;
    BlockBuffer buffer_;
};

}  // namespace brisalto
