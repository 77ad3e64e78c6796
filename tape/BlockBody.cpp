#include "BlockBody.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "TapeFile.h"

namespace brisalto {

namespace {

std::uint8_t XorOf(std::span<const std::uint8_t> bytes) noexcept {
    std::uint8_t sum = 0;
    for (const std::uint8_t byte : bytes) sum ^= byte;
    return sum;
}

}  // namespace

bool ReadBlockBody(TapeFile& file, BlockBuffer& buffer, std::size_t length,
                   std::optional<BlockChecksum>& checksum) {
    const std::size_t kept = std::min(length, buffer.size());
    if (file.ReadSome(std::span(buffer.data(), kept)) != kept) return false;
    std::uint8_t sum = XorOf(std::span(buffer.data(), kept));
    std::uint8_t last = kept > 0 ? buffer[kept - 1] : 0;
    // The bytes past the buffer are not kept, but the checksum covers them.
    std::array<std::uint8_t, 4096> rest;
    for (std::size_t left = length - kept; left > 0;) {
        const std::size_t chunk = std::min(left, rest.size());
        if (file.ReadSome(std::span(rest.data(), chunk)) != chunk) return false;
        sum ^= XorOf(std::span(rest.data(), chunk));
        last = rest[chunk - 1];
        left -= chunk;
    }
    checksum.reset();
    if (length > 0) checksum = BlockChecksum{last, static_cast<std::uint8_t>(sum ^ last)};
    if (kept < kHeaderBodySize) {
        std::fill(buffer.begin() + std::ptrdiff_t(kept), buffer.begin() + kHeaderBodySize, 0);
    }
    return true;
}

}  // namespace brisalto
