// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace brisalto::fuzzing {

// A file of this process in the temporary folder, rewritten for every input and removed at the
// end, so that the code under test reads its input through the real file layer.
class ScratchFile {
public:
    ScratchFile();
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Replaces the whole contents with `at` zero bytes, then bytes; the zeros are a hole that
    // takes no space. Aborts when the write fails, since nothing could be tested.
    void Write(std::span<const std::uint8_t> bytes, std::uint64_t at = 0) const;
    const std::string& Path() const noexcept { return path_; }

private:
    std::string path_;
};

}  // namespace brisalto::fuzzing
