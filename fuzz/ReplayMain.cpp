// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a fuzz target over files and folders of inputs without libFuzzer, so that the seeds and
// every kept finding run as ordinary tests in every build.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

void RunFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    // An exactly sized copy, as libFuzzer hands it over.
    std::vector<std::uint8_t> input(bytes.begin(), bytes.end());
    input.shrink_to_fit();
    LLVMFuzzerTestOneInput(input.data(), input.size());
}

}  // namespace

int main(int argc, char** argv) {
    std::size_t count = 0;
    for (int i = 1; i < argc; ++i) {
        const std::filesystem::path argument(argv[i]);
        if (std::filesystem::is_directory(argument)) {
            for (const auto& entry : std::filesystem::recursive_directory_iterator(argument)) {
                if (!entry.is_regular_file()) continue;
                RunFile(entry.path());
                ++count;
            }
        } else if (std::filesystem::is_regular_file(argument)) {
            RunFile(argument);
            ++count;
        } else {
            std::fprintf(stderr, "no such input: %s\n", argv[i]);
            return 1;
        }
    }
    std::printf("ran %zu inputs\n", count);
    // No input at all means a wrong path, not a pass.
    return count > 0 ? 0 : 1;
}
