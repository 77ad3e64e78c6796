// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>

namespace brisalto {

// SHA-1 (FIPS 180-4) of bytes given in pieces: the digest tape collections are compared by.
class Sha1 {
public:
    Sha1();
    void Add(std::span<const std::uint8_t> bytes);
    // The digest of everything added, as 40 lower-case hexadecimal digits; ends the sum.
    std::string HexDigest();

private:
    void Block(const std::uint8_t* block);

    std::array<std::uint32_t, 5> state_;
    std::array<std::uint8_t, 64> pending_{};
    std::size_t pendingSize_ = 0;
    std::uint64_t length_ = 0;  // bytes added
};

}  // namespace brisalto
