// SPDX-License-Identifier: GPL-3.0-or-later
#include "Sha1.h"

#include <algorithm>
#include <bit>

namespace brisalto {

Sha1::Sha1() : state_{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0} {}

void Sha1::Block(const std::uint8_t* block) {
    std::array<std::uint32_t, 80> w{};
    for (std::size_t i = 0; i < 16; ++i) {
        w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
               std::uint32_t{block[4 * i + 2]} << 8 | std::uint32_t{block[4 * i + 3]};
    }
    for (std::size_t i = 16; i < 80; ++i)
        w[i] = std::rotl(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    std::uint32_t a = state_[0];
    std::uint32_t b = state_[1];
    std::uint32_t c = state_[2];
    std::uint32_t d = state_[3];
    std::uint32_t e = state_[4];
    // The four rounds of twenty steps, each with its own function and constant.
    const auto step = [&](std::size_t i, std::uint32_t f, std::uint32_t k) {
        const std::uint32_t next = std::rotl(a, 5) + f + e + k + w[i];
        e = d;
        d = c;
        c = std::rotl(b, 30);
        b = a;
        a = next;
    };
    for (std::size_t i = 0; i < 20; ++i) step(i, (b & c) | (~b & d), 0x5A827999);
    for (std::size_t i = 20; i < 40; ++i) step(i, b ^ c ^ d, 0x6ED9EBA1);
    for (std::size_t i = 40; i < 60; ++i) step(i, (b & c) | (b & d) | (c & d), 0x8F1BBCDC);
    for (std::size_t i = 60; i < 80; ++i) step(i, b ^ c ^ d, 0xCA62C1D6);
    state_[0] += a;
    state_[1] += b;
    state_[2] += c;
    state_[3] += d;
    state_[4] += e;
}

void Sha1::Add(std::span<const std::uint8_t> bytes) {
    length_ += bytes.size();
    while (!bytes.empty()) {
        if (pendingSize_ == 0 && bytes.size() >= pending_.size()) {
            Block(bytes.data());
            bytes = bytes.subspan(pending_.size());
            continue;
        }
        const std::size_t take = std::min(bytes.size(), pending_.size() - pendingSize_);
        std::copy_n(bytes.begin(), take, pending_.begin() + static_cast<std::ptrdiff_t>(pendingSize_));
        pendingSize_ += take;
        bytes = bytes.subspan(take);
        if (pendingSize_ == pending_.size()) {
            Block(pending_.data());
            pendingSize_ = 0;
        }
    }
}

std::string Sha1::HexDigest() {
    // Padding: 0x80, zeros, then the length in bits, big-endian, ending a block.
    const std::uint64_t bits = length_ * 8;
    const std::uint8_t one = 0x80;
    Add(std::span(&one, 1));
    const std::uint8_t zero = 0;
    while (pendingSize_ != 56) Add(std::span(&zero, 1));
    std::array<std::uint8_t, 8> size{};
    for (std::size_t i = 0; i < size.size(); ++i)
        size[i] = static_cast<std::uint8_t>(bits >> (56 - 8 * i));
    Add(size);
    std::string hex;
    constexpr char kDigits[] = "0123456789abcdef";
    for (const std::uint32_t word : state_) {
        for (int shift = 28; shift >= 0; shift -= 4) hex += kDigits[word >> shift & 0xF];
    }
    return hex;
}

}  // namespace brisalto
