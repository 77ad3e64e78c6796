// SPDX-License-Identifier: GPL-3.0-or-later
#include "BenchTapes.h"

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <stdexcept>

#include "DecodeScreen.h"
#include "TzxBuilder.h"

namespace brisalto::bench {

using testing::TapeBuilder;

Bytes SmallBlocksTape() {
    // The data block's body is 12 bytes: flag, ten data bytes, checksum.
    const Bytes data(10, 0x42);
    TapeBuilder tape;
    for (int i = 0; i < 100000; ++i) tape.ProgramHeader("bench", 10, 10, 10).Data(data);
    return std::move(tape).Take();
}

ScreenTape OneScreenTape() {
    Bytes body(kScreenBytes + 2);
    body[0] = 0xFF;
    std::uint8_t sum = 0xFF;
    for (std::size_t i = 1; i + 1 < body.size(); ++i) {
        body[i] = static_cast<std::uint8_t>(i * 37 + i / 97);
        sum ^= body[i];
    }
    body.back() = sum;
    return {TapeBuilder().Block(body).Get(), {sum, sum}};
}

Bytes LargeBlocksTape() {
    // Flag, 65,533 data bytes and checksum make the longest body a length word can announce.
    const Bytes data(65533, 0x42);
    TapeBuilder tape;
    const std::size_t blocks = (32u << 20) / (2 + 65535);
    for (std::size_t i = 0; i < blocks; ++i) tape.Data(data);
    return std::move(tape).Take();
}

Bytes TzxFromTap(const Bytes& tap) {
    return testing::TzxBuilder().FromTap(tap).Get();
}

BenchTape::BenchTape(const char* name, std::uint64_t size, const Bytes& pattern, std::size_t blocks)
    : file_({}, name), blocks_(blocks), size_(size) {
    const std::filesystem::path path(std::u8string(Path().begin(), Path().end()));
    std::ofstream out(path, std::ios::binary);
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
    if (!out) throw std::runtime_error("cannot write " + Path());
    std::filesystem::resize_file(path, size);
}

}  // namespace brisalto::bench
