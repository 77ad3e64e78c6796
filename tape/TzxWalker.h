#pragma once

#include "BlockBuffer.h"
#include "BlockWalker.h"

namespace brisalto {

class TapeFile;

enum class TzxStart {
    NotTzx,  // no TZX signature: the file is back at its start
    Tzx,     // signature and version read: the first block is next
    Cut,     // the signature, then the file ends before the two version bytes
};

// Reads a TZX file's signature, "ZXTape!" 0x1A, and its version bytes, which nothing else needs.
TzxStart ReadTzxStart(TapeFile& file);

// Walks the blocks of a TZX file after its signature. The standard speed, turbo speed and pure
// data blocks (IDs 0x10, 0x11, 0x14) carry a TAP block body; every other block is walked over by
// its own length fields. An ID the format does not define is taken to follow the format's rule
// for later blocks: a 4-byte length of what follows it.
class TzxWalker final : public BlockWalker {
public:
    TzxWalker(TapeFile& file, BlockBuffer& buffer) : file_(file), buffer_(buffer) {}
    WalkStep Next(BodyBlock& block) override;

private:
    TapeFile& file_;
    BlockBuffer& buffer_;
};

}  // namespace brisalto
