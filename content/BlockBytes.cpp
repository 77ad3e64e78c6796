// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockBytes.h"

#include <string>


namespace brisalto {

std::vector<std::uint8_t> BlockData(std::span<const std::uint8_t> body) {
    // Flag first, checksum last; a body of one byte is a flag with nothing after it.
    if (body.size() < 2) return {};
    return {body.begin() + 1, body.end() - 1};
}

std::vector<std::uint8_t> OneBlockTap(std::span<const std::uint8_t> body) {
    if (body.size() > kMaxTapBody) {
        throw std::length_error("The block is " + std::to_string(body.size()) +
                                " bytes long, more than a TAP file can hold in one block "
                                "(65,535 bytes).");
    }
    std::vector<std::uint8_t> tap;
    tap.reserve(body.size() + 2);
    tap.push_back(static_cast<std::uint8_t>(body.size() & 0xFF));
    tap.push_back(static_cast<std::uint8_t>(body.size() >> 8));
    tap.insert(tap.end(), body.begin(), body.end());
    return tap;
}

}  // namespace brisalto
