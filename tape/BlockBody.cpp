#include "BlockBody.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <span>

#include "TapeFile.h"

namespace brisalto {

namespace {

// Eight bytes at a time, then four, two and one, folded at the end: most blocks are a few dozen
// bytes, and a scan reads hundreds of thousands of them.
std::uint8_t XorOf(std::span<const std::uint8_t> bytes) noexcept {
    std::uint64_t wide = 0;
    const std::uint8_t* at = bytes.data();
    const std::uint8_t* const end = at + bytes.size();
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

}  // namespace

bool ReadBlockBody(TapeFile& file, BlockBuffer& buffer, std::size_t length,
                   std::optional<BlockChecksum>& checksum) {
    const std::size_t kept = std::min(length, buffer.size());
    // A body shorter than a header: the header's bytes zeroed first, in one step of fixed size.
    if (kept < kHeaderBodySize) std::fill_n(buffer.begin(), kHeaderBodySize, 0);
    std::size_t at = 0;
    std::uint8_t sum = 0;
    std::uint8_t last = 0;
    // The checksum covers the bytes past the buffer too. It is worked out from the read-ahead's
    // bytes rather than from their copy, which a read straight after the copy would wait for.
    const auto take = [&](std::span<const std::uint8_t> piece) {
        if (at < kept)
            std::copy_n(piece.data(), std::min(piece.size(), kept - at), buffer.data() + at);
        sum ^= XorOf(piece);
        last = piece.back();
        at += piece.size();
    };
    if (file.ReadPieces(length, take) != length) return false;
    checksum.reset();
    if (length > 0) checksum = BlockChecksum{last, static_cast<std::uint8_t>(sum ^ last)};
    return true;
}

}  // namespace brisalto
