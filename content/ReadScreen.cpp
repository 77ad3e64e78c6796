// SPDX-License-Identifier: GPL-3.0-or-later
#include "ReadScreen.h"

#include <array>
#include <exception>
#include <span>

#include "TapeFile.h"

namespace brisalto {

bool ReadScreen(const TapeLocation& location, std::uint64_t position, const BlockChecksum& checksum,
                ScreenPixels& pixels) noexcept {
    // Flag, screen, checksum.
    std::array<std::uint8_t, kScreenBytes + 2> block;
    try {
        TapeFile file(location);
        file.Seek(position);
        if (file.ReadSome(block) != block.size()) return false;
        file.Close();
    } catch (const std::exception&) {
        return false;  // a tooltip shows no failures: no picture is the answer
    }
    std::uint8_t sum = 0;
    for (std::size_t i = 0; i + 1 < block.size(); ++i) sum ^= block[i];
    if (block.back() != checksum.stored || sum != checksum.computed) return false;
    DecodeScreen(std::span(block).subspan<1, kScreenBytes>(), pixels);
    return true;
}

}  // namespace brisalto
