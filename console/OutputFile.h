// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <span>
#include <stdexcept>
#include <string>

namespace brisalto {

// An output file that could not be written; what() is the whole line the user sees.
class OutputError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Writes bytes to the file at path whole or not at all: into a new file beside it, which then
// takes path's name, so that a failed write leaves no half file and an old file as it was.
// "-" is standard output. Refuses a path that is the tape at tapePath (OutputError, nothing
// written), and removes what it wrote when any step fails (OutputError).
void WriteWholeFile(const std::string& path, std::span<const std::uint8_t> bytes,
                    const std::string& tapePath);

// Whether WriteWholeFile could write path now: the same refusals, and a new file made beside it
// (and removed again), so that a long task fails before it begins, not after. OutputError as
// WriteWholeFile gives it.
void CheckCanWrite(const std::string& path, const std::string& tapePath);

// Writes bytes to a new file in the temporary folder, named after name and ending in suffix
// (".tzx"), and returns its path; OutputError when that fails too.
std::string KeepInTemporaryFile(std::span<const std::uint8_t> bytes, const std::string& name,
                                const std::string& suffix);

}  // namespace brisalto
