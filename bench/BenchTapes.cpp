#include "BenchTapes.h"

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

BenchTape::BenchTape(const char* name, const Bytes& contents, std::size_t blocks)
    : blocks_(blocks), size_(contents.size()) {
    std::string folder =
        (std::filesystem::temp_directory_path() / "brisalto-bench-XXXXXX").string();
    if (::mkdtemp(folder.data()) == nullptr) throw std::runtime_error("mkdtemp failed");
    folder_ = folder;
    path_ = (folder_ / name).string();
    std::ofstream out(path_, std::ios::binary);
    out.write(reinterpret_cast<const char*>(contents.data()),
              static_cast<std::streamsize>(contents.size()));
    if (!out) throw std::runtime_error("cannot write " + path_);
}

BenchTape::~BenchTape() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

}  // namespace brisalto::bench
