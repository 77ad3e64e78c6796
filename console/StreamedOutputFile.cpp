// SPDX-License-Identifier: GPL-3.0-or-later
#include "StreamedOutputFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

#include "IsTheOpenTape.h"
#include "OutputFile.h"
#include "ProgramStart.h"

namespace brisalto {

namespace {

[[noreturn]] void Fail(const std::string& path, const std::string& reason) {
    throw OutputError(path + ": " + reason);
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return std::filesystem::exists(FileSystemPath(path), ignored);
}

}  // namespace

StreamedOutputFile::StreamedOutputFile(const std::string& path, const std::string& tapePath)
    : path_(path) {
    if (path == "-") return;
    if (IsTheOpenTape(path, tapePath)) Fail(path, kOverTheOpenTapeText);
    std::error_code error;
    if (std::filesystem::is_directory(FileSystemPath(path), error)) Fail(path, "is a folder");
    for (int attempt = 0; attempt < 100 && partName_.empty(); ++attempt) {
        const std::string name = path + ".part-" + std::to_string(attempt);
        if (!Exists(name)) partName_ = name;
    }
    if (partName_.empty()) Fail(path, "no name is free for the file written beside it");
    part_.open(FileSystemPath(partName_), std::ios::binary | std::ios::trunc);
    if (!part_) {
        const std::string reason = std::strerror(errno);
        partName_.clear();
        Fail(path, reason);
    }
}

StreamedOutputFile::~StreamedOutputFile() {
    if (partName_.empty() || committed_) return;
    part_.close();
    std::error_code ignored;
    std::filesystem::remove(FileSystemPath(partName_), ignored);
}

void StreamedOutputFile::Write(std::span<const std::uint8_t> bytes) {
    if (bytes.empty()) return;
    if (partName_.empty()) {
        if (std::fwrite(bytes.data(), 1, bytes.size(), stdout) != bytes.size()) {
            Fail("standard output", std::strerror(errno));
        }
        return;
    }
    part_.write(reinterpret_cast<const char*>(bytes.data()),
                static_cast<std::streamsize>(bytes.size()));
    if (!part_) Fail(path_, std::strerror(errno));
}

void StreamedOutputFile::RewriteStart(std::span<const std::uint8_t> bytes) {
    part_.seekp(0);
    Write(bytes);
    part_.seekp(0, std::ios::end);
    if (!part_) Fail(path_, std::strerror(errno));
}

void StreamedOutputFile::Commit() {
    if (partName_.empty()) {
        if (std::fflush(stdout) != 0) Fail("standard output", std::strerror(errno));
        return;
    }
    part_.close();
    if (!part_) Fail(path_, std::strerror(errno));
    std::error_code error;
    std::filesystem::rename(FileSystemPath(partName_), FileSystemPath(path_), error);
    if (error) Fail(path_, error.message());
    committed_ = true;
}

}  // namespace brisalto
