// SPDX-License-Identifier: GPL-3.0-or-later
#include "StandardInputTape.h"

#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

#include "ErrnoToInOutCode.h"
#include "InOutError.h"
#include "OutputFile.h"
#include "ProgramStart.h"
#include "ReadTapeBytes.h"

namespace brisalto {

namespace {

// The path of the copy alive now, if any: there is one standard input.
const std::string* livePath = nullptr;

std::vector<std::uint8_t> ReadStandardInput() {
#ifdef _WIN32
    _setmode(_fileno(stdin), _O_BINARY);
#endif
    constexpr std::size_t kMost = kMaxTapeFileBytes + 1;
    constexpr std::size_t kPiece = 1 << 16;
    std::vector<std::uint8_t> bytes;
    while (bytes.size() < kMost) {
        const std::size_t start = bytes.size();
        bytes.resize(std::min(kMost, start + kPiece));
        const std::size_t got = std::fread(bytes.data() + start, 1, bytes.size() - start, stdin);
        bytes.resize(start + got);
        if (got == 0) {
            if (std::ferror(stdin)) throw ErrnoToInOutError(errno);
            break;
        }
    }
    return bytes;
}

}  // namespace

StandardInputCopy::StandardInputCopy()
    : path_(KeepInTemporaryFile(ReadStandardInput(), "brisalto-standard-input", "")) {
    livePath = &path_;
}

StandardInputCopy::~StandardInputCopy() {
    livePath = nullptr;
    std::error_code ignored;
    std::filesystem::remove(FileSystemPath(path_), ignored);
}

std::string ShownPath(const std::string& path) {
    if (livePath != nullptr && path == *livePath) return std::string(kStandardInputName);
    return path;
}

std::string ForPeople(std::string text) {
    if (livePath == nullptr || livePath->empty()) return text;
    for (std::size_t at = text.find(*livePath); at != std::string::npos;
         at = text.find(*livePath, at + kStandardInputName.size())) {
        text.replace(at, livePath->size(), kStandardInputName);
    }
    return text;
}

}  // namespace brisalto
