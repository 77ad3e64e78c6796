// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <stdexcept>
#include <vector>

#include "BlockChecksum.h"
#include "CatalogueRow.h"
#include "TapeDocument.h"

namespace brisalto {

// A body's data: without its flag byte and its checksum.
std::vector<std::uint8_t> BlockData(std::span<const std::uint8_t> body);

// The most bytes a TAP file's block can hold: its length is 16 bits.
inline constexpr std::size_t kMaxTapBody = 0xFFFF;

// The body as a TAP file of one block (its length, low byte first, then the body), which an
// emulator loads; std::length_error for a body longer than kMaxTapBody (a TZX turbo or pure data
// block can be).
std::vector<std::uint8_t> OneBlockTap(std::span<const std::uint8_t> body);

}  // namespace brisalto
