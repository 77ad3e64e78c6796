// SPDX-License-Identifier: GPL-3.0-or-later
#include "TempTape.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

namespace brisalto::testing {

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

}  // namespace brisalto::testing
