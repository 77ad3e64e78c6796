#include "BenchTapes.h"

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <stdexcept>

namespace brisalto::bench {

void AppendBlock(Bytes& tape, const Bytes& body) {
    tape.push_back(static_cast<std::uint8_t>(body.size() & 0xFF));
    tape.push_back(static_cast<std::uint8_t>(body.size() >> 8));
    tape.insert(tape.end(), body.begin(), body.end());
}

Bytes ProgramHeader(std::uint16_t dataLength, std::uint16_t programLength) {
    Bytes header = {0x00, 0x00, 'b', 'e', 'n', 'c', 'h', ' ', ' ', ' ', ' ', ' '};
    for (const std::uint16_t word : {dataLength, std::uint16_t{10}, programLength}) {
        header.push_back(static_cast<std::uint8_t>(word & 0xFF));
        header.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    header.push_back(0x00);
    return header;
}

Bytes SmallBlocksTape() {
    const Bytes header = ProgramHeader(10, 10);
    Bytes data(12, 0x42);
    data.front() = 0xFF;
    Bytes tape;
    tape.reserve(100000 * (2 + header.size() + 2 + data.size()));
    for (int i = 0; i < 100000; ++i) {
        AppendBlock(tape, header);
        AppendBlock(tape, data);
    }
    return tape;
}

Bytes LargeBlocksTape() {
    Bytes data(65535, 0x42);
    data.front() = 0xFF;
    Bytes tape;
    const std::size_t blocks = (32u << 20) / (2 + data.size());
    tape.reserve(blocks * (2 + data.size()));
    for (std::size_t i = 0; i < blocks; ++i) AppendBlock(tape, data);
    return tape;
}

Bytes TzxFromTap(const Bytes& tap) {
    Bytes tzx = {'Z', 'X', 'T', 'a', 'p', 'e', '!', 0x1A, 1, 20};
    tzx.reserve(tap.size() / 2 * 3);
    for (std::size_t at = 0; at + 2 <= tap.size();) {
        const std::size_t length = tap[at] | tap[at + 1] << 8;
        tzx.insert(tzx.end(), {0x10, 0xE8, 0x03});  // standard speed, a pause of 1000 ms
        tzx.insert(tzx.end(), tap.begin() + static_cast<std::ptrdiff_t>(at),
                   tap.begin() + static_cast<std::ptrdiff_t>(at + 2 + length));
        at += 2 + length;
    }
    return tzx;
}

void BenchTape::MakeFolder(const char* name) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "brisalto-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = folder;
    path_ = (folder_ / name).string();
}

BenchTape::BenchTape(const char* name, const Bytes& contents, std::size_t blocks)
    : blocks_(blocks), size_(contents.size()) {
    MakeFolder(name);
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(contents.data()),
              static_cast<std::streamsize>(contents.size()));
    if (!out) throw std::runtime_error("cannot write " + path_);
}

BenchTape::BenchTape(const char* name, std::uint64_t size, const Bytes& pattern, std::size_t blocks)
    : blocks_(blocks), size_(size) {
    MakeFolder(name);
    std::ofstream out(path_, std::ios::binary);
    if (!pattern.empty()) {
        // A megabyte of the pattern at a time, so that the file never sits in this process.
        Bytes chunk;
        while (chunk.size() < (1u << 20)) chunk.insert(chunk.end(), pattern.begin(), pattern.end());
        for (std::uint64_t written = 0; written < size;) {
            const auto count =
                static_cast<std::streamsize>(std::min<std::uint64_t>(chunk.size(), size - written));
            out.write(reinterpret_cast<const char*>(chunk.data()), count);
            written += static_cast<std::uint64_t>(count);
        }
    }
    out.close();
    if (!out) throw std::runtime_error("cannot write " + path_);
    std::filesystem::resize_file(path_, size);
}

BenchTape::~BenchTape() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace brisalto::bench
