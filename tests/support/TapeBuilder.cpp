#include "TapeBuilder.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#endif

namespace brisalto::testing {

TapeBuilder& TapeBuilder::Block(const Bytes& body) {
    bytes_.push_back(static_cast<std::uint8_t>(body.size() & 0xFF));
    bytes_.push_back(static_cast<std::uint8_t>(body.size() >> 8));
    bytes_.insert(bytes_.end(), body.begin(), body.end());
    return *this;
}

TapeBuilder& TapeBuilder::Header(std::uint8_t type, std::string_view name, std::uint16_t dataLength,
                                 std::uint16_t param1, std::uint16_t param2) {
    Bytes body{0x00, type};
    for (std::size_t i = 0; i < 10; ++i) {
        body.push_back(i < name.size() ? static_cast<std::uint8_t>(name[i]) : ' ');
    }
    for (const std::uint16_t word : {dataLength, param1, param2}) {
        body.push_back(static_cast<std::uint8_t>(word & 0xFF));
        body.push_back(static_cast<std::uint8_t>(word >> 8));
    }
    body.push_back(0x00);
    return Block(body);
}

TapeBuilder& TapeBuilder::Data(const Bytes& data) {
    Bytes body{0xFF};
    body.insert(body.end(), data.begin(), data.end());
    body.push_back(0x00);
    return Block(body);
}

TapeBuilder& TapeBuilder::Raw(const Bytes& bytes) {
    bytes_.insert(bytes_.end(), bytes.begin(), bytes.end());
    return *this;
}

namespace {

// Paths are UTF-8 throughout, as the core takes them, on every platform.
std::filesystem::path FromUtf8(std::string_view text) {
    return std::filesystem::path(std::u8string(text.begin(), text.end()));
}

std::string ToUtf8(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

void WriteFile(const std::string& path, const Bytes& contents) {
    std::ofstream out(FromUtf8(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(contents.data()),
              static_cast<std::streamsize>(contents.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

}  // namespace

TempTape::TempTape(const Bytes& contents, std::string_view fileName) {
    // A fresh folder of our own: create_directory fails rather than reuse an existing one.
    std::random_device random;
    std::filesystem::path folder;
    do {
        folder = std::filesystem::temp_directory_path() /
                 ("brisalto-test-" + std::to_string(random()) + std::to_string(random()));
    } while (!std::filesystem::create_directory(folder));
    folder_ = ToUtf8(folder);
    path_ = ToUtf8(folder / FromUtf8(fileName));
    WriteFile(path_, contents);
}

TempTape::~TempTape() {
    std::error_code ignored;
    // A test may have made the folder or file read-only; give them back before removing.
    std::filesystem::permissions(FromUtf8(folder_), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::permissions(FromUtf8(path_), std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ignored);
    std::filesystem::remove_all(FromUtf8(folder_), ignored);
}

void TempTape::Rewrite(const Bytes& contents) const {
    WriteFile(path_, contents);
}

Bytes ReadWholeFile(const std::string& path) {
    std::ifstream in(FromUtf8(path), std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string RunCommand(const std::string& command) {
    std::string output;
    FILE* pipe = ::popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run: " << command;
        return output;
    }
    std::array<char, 4096> chunk;
    std::size_t got = 0;
    while ((got = std::fread(chunk.data(), 1, chunk.size(), pipe)) > 0)
        output.append(chunk.data(), got);
    const int status = ::pclose(pipe);
    if (status != 0) {
        ADD_FAILURE() << "command failed (" << status << "): " << command;
        return {};
    }
    return output;
}

}  // namespace brisalto::testing
