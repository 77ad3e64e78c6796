// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>

namespace brisalto {

// Where a tape's (or a recording's) bytes come from: the operating system's file, or an archive
// entry in memory.
// Failures are InOutError with the code of the failure table.
class ByteSource {
public:
    virtual ~ByteSource() = default;
    // Reads up to count bytes; returns fewer only at the end.
    virtual std::size_t Read(std::uint8_t* destination, std::size_t count) = 0;
    // Moves to an absolute position; a position past the end is allowed and then reads nothing.
    virtual void SeekTo(std::uint64_t position) = 0;
    // The length in bytes now.
    virtual std::uint64_t Size() = 0;
    // Lets go of what the source holds and reports a failing close; later calls do nothing.
    virtual void Close() = 0;
};

}  // namespace brisalto
