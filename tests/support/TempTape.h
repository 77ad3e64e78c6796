// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

#include "TapeBuilder.h"

// Temporary tape files for tests and benchmarks: no test framework, no Qt.
namespace brisalto::testing {

// A file in a fresh temporary folder, removed with the folder at the end of the scope.
class TempTape {
public:
    explicit TempTape(const Bytes& contents, std::string_view fileName = "tape.tap");
    ~TempTape();
    TempTape(const TempTape&) = delete;
    TempTape& operator=(const TempTape&) = delete;

    const std::string& Path() const { return path_; }
    const std::string& Folder() const { return folder_; }
    void Rewrite(const Bytes& contents) const;

private:
    std::string folder_;
    std::string path_;
};

// Whole contents of a file.
Bytes ReadWholeFile(const std::string& path);

}  // namespace brisalto::testing
