// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "BlockChecksum.h"
#include "CatalogueRow.h"
#include "TapeLocation.h"

namespace brisalto {

// The tape's bytes where a block was are no longer the block the scan saw.
class TapeChangedError : public std::runtime_error {
public:
    TapeChangedError();
};

// The body (flag, data, checksum) of the block of length bytes at position, read again from the
// tape at location: the one way every reader of a block's bytes takes. TapeChangedError when the
// bytes no longer give the checksum the scan saw (checksum, unset for a body of no bytes);
// InOutError when the file can no longer be read there.
std::vector<std::uint8_t> ReadBlockBody(const TapeLocation& location, std::uint64_t position,
                                        std::uint32_t length,
                                        const std::optional<BlockChecksum>& checksum);
// The same for the block behind a catalogue row.
std::vector<std::uint8_t> ReadBlockBody(const TapeLocation& location, const CatalogueRow& row);

// A body's data: without its flag byte and its checksum.
std::vector<std::uint8_t> BlockData(std::span<const std::uint8_t> body);

// The most bytes a TAP file's block can hold: its length is 16 bits.
inline constexpr std::size_t kMaxTapBody = 0xFFFF;

// The body as a TAP file of one block (its length, low byte first, then the body), which an
// emulator loads; std::length_error for a body longer than kMaxTapBody (a TZX turbo or pure data
// block can be).
std::vector<std::uint8_t> OneBlockTap(std::span<const std::uint8_t> body);

}  // namespace brisalto
