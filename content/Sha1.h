// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

namespace brisalto {

// SHA-1 (FIPS 180-4) of bytes given in pieces: the digest tape collections are compared by. A
// collection's sums are most of its catalogue's time, so the sum is the system's own: nettle's on
// Linux (which uses the processor's SHA instructions where it has them), Windows' CNG there.
class Sha1 {
public:
    Sha1();
    ~Sha1();
    Sha1(const Sha1&) = delete;
    Sha1& operator=(const Sha1&) = delete;

    void Add(std::span<const std::uint8_t> bytes);
    // The digest of everything added, as 40 lower-case hexadecimal digits; ends the sum.
    std::string HexDigest();

private:
    struct State;
    std::unique_ptr<State> state_;
};

// 40 lower-case hexadecimal digits of a 20-byte digest.
inline std::string HexOfDigest(std::span<const std::uint8_t, 20> digest) {
    constexpr char kDigits[] = "0123456789abcdef";
    std::string hex;
    for (const std::uint8_t byte : digest) {
        hex += kDigits[byte >> 4];
        hex += kDigits[byte & 0xF];
    }
    return hex;
}

}  // namespace brisalto
