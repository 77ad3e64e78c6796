// SPDX-License-Identifier: GPL-3.0-or-later
#include "Sha1.h"

#include <algorithm>
#include <bit>

namespace brisalto {

Sha1::Sha1() : state_{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0} {}

namespace {

// The functions of the four rounds.
constexpr std::uint32_t Choose(std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return (b & c) | (~b & d);
}
constexpr std::uint32_t Parity(std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return b ^ c ^ d;
}
constexpr std::uint32_t Majority(std::uint32_t b, std::uint32_t c, std::uint32_t d) {
    return (b & c) | (b & d) | (c & d);
}

}  // namespace

void Sha1::Block(const std::uint8_t* block) {
    // The message schedule, sixteen words at a time: word i replaces word i - 16.
    std::array<std::uint32_t, 16> w;
    for (std::size_t i = 0; i < 16; ++i) {
        w[i] = std::uint32_t{block[4 * i]} << 24 | std::uint32_t{block[4 * i + 1]} << 16 |
               std::uint32_t{block[4 * i + 2]} << 8 | std::uint32_t{block[4 * i + 3]};
    }
    const auto word = [&w](std::size_t i) {
        if (i >= 16) {
            w[i % 16] =
                std::rotl(w[(i - 3) % 16] ^ w[(i - 8) % 16] ^ w[(i - 14) % 16] ^ w[i % 16], 1);
        }
        return w[i % 16];
    };
    std::uint32_t a = state_[0];
    std::uint32_t b = state_[1];
    std::uint32_t c = state_[2];
    std::uint32_t d = state_[3];
    std::uint32_t e = state_[4];
    // The four rounds of twenty steps, each with its own function and constant; a pass does five
    // steps with the names rotated, after which they are where they started.
    const auto five = [&word](std::size_t i, auto f, std::uint32_t k, std::uint32_t& v,
                              std::uint32_t& x, std::uint32_t& y, std::uint32_t& z,
                              std::uint32_t& t) {
        t += std::rotl(v, 5) + f(x, y, z) + k + word(i);
        x = std::rotl(x, 30);
        z += std::rotl(t, 5) + f(v, x, y) + k + word(i + 1);
        v = std::rotl(v, 30);
        y += std::rotl(z, 5) + f(t, v, x) + k + word(i + 2);
        t = std::rotl(t, 30);
        x += std::rotl(y, 5) + f(z, t, v) + k + word(i + 3);
        z = std::rotl(z, 30);
        v += std::rotl(x, 5) + f(y, z, t) + k + word(i + 4);
        y = std::rotl(y, 30);
    };
    for (std::size_t i = 0; i < 20; i += 5) five(i, Choose, 0x5A827999, a, b, c, d, e);
    for (std::size_t i = 20; i < 40; i += 5) five(i, Parity, 0x6ED9EBA1, a, b, c, d, e);
    for (std::size_t i = 40; i < 60; i += 5) five(i, Majority, 0x8F1BBCDC, a, b, c, d, e);
    for (std::size_t i = 60; i < 80; i += 5) five(i, Parity, 0xCA62C1D6, a, b, c, d, e);
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
        std::copy_n(bytes.begin(), take,
                    pending_.begin() + static_cast<std::ptrdiff_t>(pendingSize_));
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
