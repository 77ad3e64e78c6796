// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramStart.h"

#ifdef _WIN32
// windows.h first: shellapi.h builds on it.
#include <windows.h>

#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <cstdio>
#endif

namespace brisalto {

#ifdef _WIN32
namespace {

std::string Utf8(const wchar_t* wide) {
    const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) return {};
    std::string text(static_cast<std::size_t>(length - 1), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
    return text;
}

}  // namespace

std::vector<std::string> ProgramArguments(int, char*[]) {
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 0; wide != nullptr && i < count; ++i) arguments.push_back(Utf8(wide[i]));
    ::LocalFree(wide);
    return arguments;
}

void PrepareStandardOutput() {
    _setmode(_fileno(stdout), _O_BINARY);
    ::SetConsoleOutputCP(CP_UTF8);
}
#else
std::vector<std::string> ProgramArguments(int argc, char* argv[]) {
    return {argv, argv + argc};
}

void PrepareStandardOutput() {}
#endif

std::filesystem::path FileSystemPath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace brisalto
