// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace brisalto {

// The program's arguments in UTF-8, its own name first: on Windows from the wide command line,
// since argv there is in the ANSI code page and loses what it cannot spell.
std::vector<std::string> ProgramArguments(int argc, char* argv[]);

// Standard output as it must be on Windows for PNG bytes and UTF-8 text: binary, and a console
// showing UTF-8. Does nothing elsewhere.
void PrepareStandardOutput();

// A path given in UTF-8 as the file system takes it.
std::filesystem::path FileSystemPath(const std::string& utf8);

}  // namespace brisalto
