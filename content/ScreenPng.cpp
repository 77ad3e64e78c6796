// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScreenPng.h"

#include <zlib.h>

#include <algorithm>
#include <array>
#include <cassert>
#include <cmath>
#include <cstddef>
#include <stdexcept>
#include <string_view>

namespace brisalto {

namespace {

// How much of each source pixel along one axis goes into one target pixel.
struct Share {
    std::size_t source;
    double weight;
};

// For each of target pixels, the source pixels it covers and their shares, adding up to 1.
std::vector<std::vector<Share>> Shares(unsigned source, unsigned target) {
    std::vector<std::vector<Share>> shares(target);
    const double step = double(source) / double(target);
    for (unsigned t = 0; t < target; ++t) {
        const double left = t * step;
        const double right = (t + 1) * step;
        const auto first = static_cast<std::size_t>(left);
        const auto last = std::min<std::size_t>(static_cast<std::size_t>(std::ceil(right)), source);
        for (std::size_t s = first; s < last; ++s) {
            const double covered = std::min(right, double(s + 1)) - std::max(left, double(s));
            if (covered > 0) shares[t].push_back({s, covered / step});
        }
    }
    return shares;
}

void AppendWord(std::vector<std::uint8_t>& bytes, std::uint32_t word) {
    for (int shift = 24; shift >= 0; shift -= 8) bytes.push_back(std::uint8_t(word >> shift));
}

// A PNG chunk: data length, type, data, CRC of type and data.
void AppendChunk(std::vector<std::uint8_t>& png, std::string_view type,
                 const std::vector<std::uint8_t>& data) {
    AppendWord(png, static_cast<std::uint32_t>(data.size()));
    const std::size_t typeAt = png.size();
    png.insert(png.end(), type.begin(), type.end());
    png.insert(png.end(), data.begin(), data.end());
    const uLong crc = crc32(0L, png.data() + typeAt, static_cast<uInt>(png.size() - typeAt));
    AppendWord(png, static_cast<std::uint32_t>(crc));
}

}  // namespace

std::vector<std::uint8_t> ScreenPng(const ScreenPixels& pixels, unsigned width, unsigned height) {
    assert(width > 0 && height > 0);
    const auto across = Shares(kScreenWidth, width);
    const auto down = Shares(kScreenHeight, height);

    // Rows first scaled across into linear colour sums, then down; each PNG row starts with
    // its filter type, 0 (none).
    std::vector<std::array<double, 3>> scaledRows(std::size_t(kScreenHeight) * width);
    for (std::size_t y = 0; y < std::size_t(kScreenHeight); ++y) {
        for (std::size_t x = 0; x < width; ++x) {
            std::array<double, 3> sum{};
            for (const Share& share : across[x]) {
                const std::uint32_t rgb = kSpectrumPalette[pixels[y * kScreenWidth + share.source]];
                sum[0] += share.weight * double(rgb >> 16 & 0xFF);
                sum[1] += share.weight * double(rgb >> 8 & 0xFF);
                sum[2] += share.weight * double(rgb & 0xFF);
            }
            scaledRows[y * width + x] = sum;
        }
    }
    std::vector<std::uint8_t> raw;
    raw.reserve(std::size_t(height) * (std::size_t(width) * 3 + 1));
    for (std::size_t y = 0; y < height; ++y) {
        raw.push_back(0);
        for (std::size_t x = 0; x < width; ++x) {
            std::array<double, 3> sum{};
            for (const Share& share : down[y]) {
                const auto& source = scaledRows[share.source * width + x];
                for (std::size_t c = 0; c < 3; ++c) sum[c] += share.weight * source[c];
            }
            for (const double channel : sum)
                raw.push_back(
                    static_cast<std::uint8_t>(std::clamp(std::lround(channel), 0L, 255L)));
        }
    }

    uLongf packedSize = compressBound(static_cast<uLong>(raw.size()));
    std::vector<std::uint8_t> packed(packedSize);
    if (compress2(packed.data(), &packedSize, raw.data(), static_cast<uLong>(raw.size()),
                  Z_DEFAULT_COMPRESSION) != Z_OK) {
        throw std::runtime_error("Out of memory compressing the picture");
    }
    packed.resize(packedSize);

    // Signature; IHDR: width, height, bit depth 8, colour type 2 (RGB), deflate, no interlace.
    std::vector<std::uint8_t> png = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    std::vector<std::uint8_t> header;
    AppendWord(header, width);
    AppendWord(header, height);
    header.insert(header.end(), {8, 2, 0, 0, 0});
    AppendChunk(png, "IHDR", header);
    AppendChunk(png, "IDAT", packed);
    AppendChunk(png, "IEND", {});
    return png;
}

}  // namespace brisalto
