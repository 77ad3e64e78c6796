#include "ScratchFile.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace brisalto::fuzzing {

ScratchFile::ScratchFile()
    : path_((std::filesystem::temp_directory_path() /
             ("brisalto-fuzz-" + std::to_string(::getpid()) + ".tap"))
                .string()) {}

ScratchFile::~ScratchFile() {
    std::remove(path_.c_str());
}

void ScratchFile::Write(std::span<const std::uint8_t> bytes) const {
    std::FILE* file = std::fopen(path_.c_str(), "wb");
    const bool written =
        file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    if (file == nullptr || std::fclose(file) != 0 || !written) {
        std::perror(path_.c_str());
        std::abort();
    }
}

}  // namespace brisalto::fuzzing
