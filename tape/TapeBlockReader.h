// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>

#include "TapeBlock.h"

namespace brisalto {

class TapeFile;

// A TZX file's version, from the two bytes after its signature.
struct TzxVersion {
    std::uint8_t major = 0;
    std::uint8_t minor = 0;
};

enum class BlockStep {
    End,      // the file ended between two blocks
    Block,    // a block was read
    Damaged,  // the file ended inside a block
};

// Reads a tape's blocks one at a time, from its start: a TZX file (by its signature) block by
// block after the signature, any other file as a TAP file, a plain sequence of blocks of a
// 16-bit little-endian length N and N body bytes. Input/output failures travel out; a TAP file
// that ends inside a length fails with "Read beyond end of file".
class TapeBlockReader {
public:
    // Reads the signature; a TZX signature without its version bytes is a damaged tape, whose
    // first Next says so.
    explicit TapeBlockReader(TapeFile& file);

    const std::optional<TzxVersion>& Tzx() const noexcept { return tzx_; }
    BlockStep Next(TapeBlock& block);
    // Whether the tape has no byte left to read.
    bool AtEnd();

private:
    BlockStep NextTap(TapeBlock& block);
    BlockStep NextTzx(TapeBlock& block);

    TapeFile& file_;
    std::optional<TzxVersion> tzx_;
    bool cut_ = false;  // the TZX signature without its version
};

}  // namespace brisalto
