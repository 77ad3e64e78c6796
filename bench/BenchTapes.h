#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

// Tapes the benchmarks write for themselves.
namespace brisalto::bench {

using Bytes = std::vector<std::uint8_t>;

// Appends a block: its 16-bit little-endian length, then the body.
void AppendBlock(Bytes& tape, const Bytes& body);

// A 19-byte Program header named "bench", autostart line 10.
Bytes ProgramHeader(std::uint16_t dataLength, std::uint16_t programLength);

// 100,000 Program headers, each followed by a 10-byte data block: 200,000 blocks.
Bytes SmallBlocksTape();

// 32 MiB of data blocks of 65,535 bytes, the longest a block can be.
Bytes LargeBlocksTape();

// The same blocks as a TZX tape: the signature, then each block as a standard speed block.
Bytes TzxFromTap(const Bytes& tap);

// A tape file that lives as long as the object, in a folder of its own.
class BenchTape {
public:
    BenchTape(const char* name, const Bytes& contents, std::size_t blocks);
    // A file of size bytes, pattern over and over; zeros, without being written, when it is empty.
    BenchTape(const char* name, std::uint64_t size, const Bytes& pattern, std::size_t blocks);
    ~BenchTape();
    BenchTape(const BenchTape&) = delete;
    BenchTape& operator=(const BenchTape&) = delete;

    const std::string& Path() const { return path_; }
    std::size_t Blocks() const { return blocks_; }
    std::uint64_t Size() const { return size_; }

private:
    std::filesystem::path folder_;
    std::string path_;
    std::size_t blocks_;
    std::uint64_t size_;

    void MakeFolder(const char* name);
};

}  // namespace brisalto::bench
