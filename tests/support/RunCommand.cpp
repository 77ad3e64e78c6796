// SPDX-License-Identifier: GPL-3.0-or-later
#include "RunCommand.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>

#ifdef _WIN32
#define popen _popen
#define pclose _pclose
#endif

namespace brisalto::testing {

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
