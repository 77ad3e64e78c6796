// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockBody.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <span>

#include "TapeFile.h"

namespace brisalto {

namespace {

// A short run eight bytes at a time, then four, two and one, folded at the end: most blocks are a
// few dozen bytes, and a scan reads hundreds of thousands of them.
std::uint8_t XorOf(std::span<const std::uint8_t> bytes) noexcept {
    if (bytes.size() >= 64) {
        // Long runs: the compiler's vector loop.
        std::uint8_t sum = 0;
        for (const std::uint8_t byte : bytes) sum ^= byte;
        return sum;
    }
    const std::uint8_t* at = bytes.data();
    const std::uint8_t* const end = at + bytes.size();
    std::uint64_t wide = 0;
    for (; end - at >= 8; at += 8) {
        std::uint64_t eight = 0;
        std::memcpy(&eight, at, 8);
        wide ^= eight;
    }
    if (end - at >= 4) {
        std::uint32_t four = 0;
        std::memcpy(&four, at, 4);
        wide ^= four;
        at += 4;
    }
    if (end - at >= 2) {
        std::uint16_t two = 0;
        std::memcpy(&two, at, 2);
        wide ^= two;
        at += 2;
    }
    if (at != end) wide ^= *at;
    wide ^= wide >> 32;
    wide ^= wide >> 16;
    wide ^= wide >> 8;
    return static_cast<std::uint8_t>(wide);
}

// Copies a piece to `to`: one of up to 32 bytes as two overlapping copies of a fixed size, rather
// than by a call for its size.
void CopyPiece(std::span<const std::uint8_t> piece, std::uint8_t* to) noexcept {
    const std::uint8_t* const from = piece.data();
    const std::size_t size = piece.size();
    const auto copyTwo = [&]<std::size_t N>() {
        std::array<std::uint8_t, N> first;
        std::array<std::uint8_t, N> last;
        std::memcpy(first.data(), from, N);
        std::memcpy(last.data(), from + size - N, N);
        std::memcpy(to, first.data(), N);
        std::memcpy(to + size - N, last.data(), N);
    };
    if (size > 32) {
        std::memcpy(to, from, size);
    } else if (size >= 16) {
        copyTwo.operator()<16>();
    } else if (size >= 8) {
        copyTwo.operator()<8>();
    } else if (size >= 4) {
        copyTwo.operator()<4>();
    } else {
        std::copy_n(from, size, to);
    }
}

// Bodies up to this long are read from the read-ahead in place.
constexpr std::size_t kSmallBody = 4096;

}  // namespace

bool ReadBlockBody(TapeFile& file, BlockBuffer& buffer, std::size_t length,
                   std::optional<BlockChecksum>& checksum) {
    const std::size_t kept = std::min(length, buffer.size());
    // A body shorter than a header: the header's bytes zeroed first, in one step of fixed size.
    if (kept < kHeaderBodySize) std::fill_n(buffer.begin(), kHeaderBodySize, 0);
    std::uint8_t sum = 0;
    std::uint8_t last = 0;
    const auto sumUp = [&](std::span<const std::uint8_t> piece) {
        sum ^= XorOf(piece);
        last = piece.back();
    };
    if (kept <= kSmallBody) {
        // Summed from the read-ahead's bytes rather than from their copy, which a read straight
        // after the copy would wait for: most blocks are a few dozen bytes.
        std::size_t at = 0;
        const auto keep = [&](std::span<const std::uint8_t> piece) {
            CopyPiece(piece, buffer.data() + at);
            at += piece.size();
            sumUp(piece);
        };
        if (file.ReadPieces(kept, keep) != kept) return false;
    } else {
        // Read whole, straight from the file when it is large.
        if (file.ReadSome(std::span(buffer.data(), kept)) != kept) return false;
        sumUp(std::span(buffer.data(), kept));
    }
    // The bytes past the buffer are not kept, but the checksum covers them.
    if (file.ReadPieces(length - kept, sumUp) != length - kept) return false;
    checksum.reset();
    if (length > 0) checksum = BlockChecksum{last, static_cast<std::uint8_t>(sum ^ last)};
    return true;
}

}  // namespace brisalto
