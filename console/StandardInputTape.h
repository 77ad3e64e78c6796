// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>

namespace brisalto {

// What the program calls standard input when it names it as a tape.
inline constexpr std::string_view kStandardInputName = "standard input";

// Standard input, given as the TAPE "-", copied into a new temporary file that every reader then
// opens as a tape file, so that what it holds is told by its bytes as a file's is (TAP, TZX, an
// archive, a recording). At most kMaxTapeFileBytes and one byte more are taken: a larger input
// is cut where a larger file is. The file is removed when the copy is dropped; while it lives,
// ShownPath and ForPeople name it as standard input. Failures: InOutError (reading), OutputError
// (the temporary file).
class StandardInputCopy {
public:
    StandardInputCopy();
    ~StandardInputCopy();
    StandardInputCopy(const StandardInputCopy&) = delete;
    StandardInputCopy& operator=(const StandardInputCopy&) = delete;

    const std::string& Path() const noexcept { return path_; }

private:
    std::string path_;
};

// The path as the program names it: "standard input" for the copy's, else itself.
std::string ShownPath(const std::string& path);
// Text that may name the copy's path (an archive's failure names its file), naming it so.
std::string ForPeople(std::string text);

}  // namespace brisalto
