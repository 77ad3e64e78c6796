// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>

#include "CatalogueRow.h"
#include "DecodeScreen.h"
#include "FindScreen.h"
#include "TapeDocument.h"

namespace brisalto {

// Reads the screen held by the data block whose flag byte lies at position in the tape document
// (flag, 6,912 bytes, checksum) and decodes it into pixels. Returns false, and never throws,
// when the file can no longer be opened or read there, or when its bytes no longer match
// checksum, the block's checksum state from the scan (the tape changed since).
bool ReadScreen(const TapeDocument& document, std::uint64_t position, const BlockChecksum& checksum,
                ScreenPixels& pixels) noexcept;

// Reads the screen found at place (one block or a split pair) in the same way: false, and never
// a throw, when it can no longer be read or its blocks changed.
bool ReadScreen(const TapeDocument& document, const ScreenPlace& place,
                ScreenPixels& pixels) noexcept;

}  // namespace brisalto
