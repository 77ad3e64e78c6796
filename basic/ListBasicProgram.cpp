// SPDX-License-Identifier: GPL-3.0-or-later
#include "ListBasicProgram.h"

#include <algorithm>
#include <array>
#include <span>

#include "BlockBuffer.h"
#include "DecodeBasicProgram.h"
#include "TapeDocument.h"
#include "TapeFile.h"

namespace brisalto {

void ListBasicProgram(const TapeDocument& document, std::uint64_t position, std::uint16_t length,
                      LineSink& lines) {
    TapeFile file(document.bytes);
    file.Seek(position);
    BlockBuffer buffer;
    const std::size_t kept = std::min<std::size_t>(length, buffer.size());
    file.ReadExact(std::span(buffer.data(), kept));
    // The bytes past the buffer are not decoded but must be there all the same.
    std::array<std::uint8_t, 0x10000 - kBlockBufferSize> rest;
    file.ReadExact(std::span(rest.data(), length - kept));
    file.Close();
    DecodeBasicProgram(std::span(buffer.data(), kept), length, lines);
}

}  // namespace brisalto
