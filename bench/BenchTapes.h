// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "BlockChecksum.h"
#include "TapeBuilder.h"
#include "TempTape.h"

// Tapes the benchmarks write for themselves, built with the tests' tape builders.
namespace brisalto::bench {

using testing::Bytes;

// 100,000 Program headers named "bench", autostart line 10, each followed by a 10-byte data
// block: 200,000 blocks.
Bytes SmallBlocksTape();

// 32 MiB of data blocks of 65,535 bytes, the longest a block can be.
Bytes LargeBlocksTape();

// The same blocks as a TZX tape: the signature, then each block as a standard speed block.
Bytes TzxFromTap(const Bytes& tap);

// A header-less tape of one data block holding a loading screen of varied bytes, its flag at
// position 2, with the checksum the scan would record for it.
struct ScreenTape {
    Bytes bytes;
    BlockChecksum checksum;
};
ScreenTape OneScreenTape();

// A tape file that lives as long as the object, in a folder of its own.
class BenchTape {
public:
    BenchTape(const char* name, const Bytes& contents, std::size_t blocks)
        : file_(contents, name), blocks_(blocks), size_(contents.size()) {}
    // A file of size bytes, pattern over and over; zeros, without being written, when it is empty.
    BenchTape(const char* name, std::uint64_t size, const Bytes& pattern, std::size_t blocks);

    const std::string& Path() const { return file_.Path(); }
    std::size_t Blocks() const { return blocks_; }
    std::uint64_t Size() const { return size_; }

private:
    testing::TempTape file_;
    std::size_t blocks_;
    std::uint64_t size_;
};

}  // namespace brisalto::bench
