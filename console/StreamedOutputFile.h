// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <fstream>
#include <span>
#include <string>

#include "WavSound.h"

namespace brisalto {

// An output file written piece by piece, whole or not at all: into a new file beside it that
// takes path's name only at Commit, and is removed when the writer is dropped before. "-" is
// standard output, written as it comes. Refuses a path that is the tape at tapePath or a folder;
// every failure is OutputError, naming the file.
class StreamedOutputFile final : public ByteSink {
public:
    StreamedOutputFile(const std::string& path, const std::string& tapePath);
    ~StreamedOutputFile() override;
    StreamedOutputFile(const StreamedOutputFile&) = delete;
    StreamedOutputFile& operator=(const StreamedOutputFile&) = delete;

    void Write(std::span<const std::uint8_t> bytes) override;
    // Whether the file can go back to its start: not standard output.
    bool CanRewrite() const noexcept { return !partName_.empty(); }
    // Puts bytes over the file's first bytes, and goes on at its end.
    void RewriteStart(std::span<const std::uint8_t> bytes);
    void Commit();

private:
    std::string path_;
    std::string partName_;  // empty for standard output
    std::ofstream part_;
    bool committed_ = false;
};

}  // namespace brisalto
