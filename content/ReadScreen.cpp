// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReadScreen.h"

#include <vector>
#include <exception>
#include <span>

#include "TapeDocument.h"

namespace brisalto {

bool ReadScreen(const TapeDocument& document, std::uint64_t position, const BlockChecksum& checksum,
                ScreenPixels& pixels) noexcept {
    // Flag, screen, checksum.
    std::vector<std::uint8_t> block;
    try {
        block = BodyAt(document, position, kScreenBytes + 2, checksum);
    } catch (const std::exception&) {
        return false;  // a tooltip shows no failures: no picture is the answer
    }
    DecodeScreen(std::span<const std::uint8_t, kScreenBytes>(block.data() + 1, kScreenBytes),
                 pixels);
    return true;
}

bool ReadScreen(const TapeDocument& document, const ScreenPlace& place,
                ScreenPixels& pixels) noexcept {
    try {
        DecodeScreen(ReadScreenBytes(document, place), pixels);
    } catch (const std::exception&) {
        return false;
    }
    return true;
}

}  // namespace brisalto
