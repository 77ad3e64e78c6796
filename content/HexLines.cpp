// SPDX-License-Identifier: GPL-3.0-or-later
#include "HexLines.h"

#include <algorithm>
#include <cstdio>

#include "ZxCharacters.h"

namespace brisalto {

namespace {

constexpr std::size_t kBytesPerLine = 16;

std::string Hex(unsigned value, int digits) {
    char text[8];
    std::snprintf(text, sizeof text, "%0*X", digits, value);
    return text;
}

}  // namespace

std::vector<std::string> HexLines(std::span<const std::uint8_t> bytes, const HexLayout& layout) {
    std::vector<std::string> lines;
    const int offsetDigits = bytes.size() > 0x10000 ? 6 : 4;
    std::string heading = "Offset" + std::string(std::size_t(offsetDigits) - 4, ' ');
    if (layout.loadAddress) heading += "  Addr";
    heading += "  Bytes";
    lines.push_back(heading);

    // The byte positions the brackets go around.
    const bool marked = layout.flagAndChecksum && !bytes.empty();
    const std::size_t flagAt = 0;
    const std::size_t checksumAt = bytes.empty() ? 0 : bytes.size() - 1;
    const auto isMarked = [&](std::size_t at) {
        return marked && at < bytes.size() &&
               (at == flagAt || (bytes.size() > 1 && at == checksumAt));
    };
    const std::size_t dataStart = layout.flagAndChecksum ? 1 : 0;

    for (std::size_t start = 0; start < bytes.size(); start += kBytesPerLine) {
        const std::size_t end = std::min(bytes.size(), start + kBytesPerLine);
        std::string line = Hex(unsigned(start), offsetDigits);
        if (layout.loadAddress) {
            const std::size_t first = std::max(start, dataStart);
            line += "  " + Hex(unsigned((*layout.loadAddress + first - dataStart) & 0xFFFF), 4);
        }
        line += ' ';
        // Each byte is a separator and two digits; a marked byte has '[' before and ']' after.
        for (std::size_t at = start; at < start + kBytesPerLine; ++at) {
            line += isMarked(at) ? '[' : (at > start && isMarked(at - 1)) ? ']' : ' ';
            line += at < end ? Hex(bytes[at], 2) : "  ";
        }
        line += isMarked(start + kBytesPerLine - 1) ? ']' : ' ';
        line += ' ';
        for (std::size_t at = start; at < end; ++at) line += SpectrumPrintable(bytes[at]);
        lines.push_back(line);
    }
    return lines;
}

}  // namespace brisalto
