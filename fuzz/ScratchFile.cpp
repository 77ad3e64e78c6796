#include "ScratchFile.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace brisalto::fuzzing {

namespace {

// Memory-backed where there is one: a disk busy with other work can stall a rewrite for over a
// second, which libFuzzer would take for a hang of the code under test.
std::filesystem::path ScratchFolder() {
    std::error_code error;
    if (std::filesystem::is_directory("/dev/shm", error)) return "/dev/shm";
    return std::filesystem::temp_directory_path();
}

}  // namespace

ScratchFile::ScratchFile()
    : path_((ScratchFolder() / ("brisalto-fuzz-" + std::to_string(::getpid()) + ".tap")).string()) {
}

ScratchFile::~ScratchFile() {
    std::remove(path_.c_str());
}

void ScratchFile::Write(std::span<const std::uint8_t> bytes) const {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    // An empty input may come without storage, and fwrite must not see a null pointer.
    const bool written =
        file != nullptr &&
        (bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size());
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::perror(path_.c_str());
        std::abort();
    }
}

}  // namespace brisalto::fuzzing
