// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScratchFile.h"

#include <signal.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

namespace brisalto::fuzzing {

namespace {

// Memory-backed where there is one: a disk busy with other work can stall a rewrite for over a
// second, which libFuzzer would take for a hang of the code under test.
std::filesystem::path ScratchFolder() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

constexpr std::string_view kPrefix = "brisalto-fuzz-";
constexpr std::string_view kSuffix = ".tap";

// libFuzzer ends a run without static destructors, so each run removes the files of runs whose
// process is gone.
void RemoveLeftovers(const std::filesystem::path& folder) {
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        const std::string name = entry.path().filename().string();
        if (!name.starts_with(kPrefix) || !name.ends_with(kSuffix)) continue;
        const std::string digits =
            name.substr(kPrefix.size(), name.size() - kPrefix.size() - kSuffix.size());
        if (digits.empty() || digits.size() > 9 ||
            digits.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const auto pid = static_cast<pid_t>(std::stol(digits));
        if (::kill(pid, 0) != 0 && errno == ESRCH) std::filesystem::remove(entry.path(), error);
    }
}

std::filesystem::path ScratchPath() {
    const std::filesystem::path folder = ScratchFolder();
    RemoveLeftovers(folder);
    // The process number padded to nine digits: a name of one length, so that the code that
    // reads the name takes the same paths in every run, and a seeded run tries the same inputs.
    std::string pid = std::to_string(::getpid());
    pid.insert(0, pid.size() < 9 ? 9 - pid.size() : 0, '0');
    return folder / (std::string(kPrefix) + pid + std::string(kSuffix));
}

}  // namespace

ScratchFile::ScratchFile() : path_(ScratchPath().string()) {}

ScratchFile::~ScratchFile() {
    std::remove(path_.c_str());
}

void ScratchFile::Write(std::span<const std::uint8_t> bytes, std::uint64_t at) const {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    // Writing at `at` leaves a hole before it; with nothing to write, the length makes the hole.
    // An empty input may come without storage, and fwrite must not see a null pointer.
    const auto hole = static_cast<off_t>(at);
    const bool written =
        file != nullptr &&
        (bytes.empty() ? ::ftruncate(::fileno(file), hole) == 0
                       : (at == 0 || ::fseeko(file, hole, SEEK_SET) == 0) &&
                             std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::perror(path_.c_str());
        std::abort();
    }
}

}  // namespace brisalto::fuzzing
