// SPDX-License-Identifier: GPL-3.0-or-later
#include "DecodeArray.h"

#include "ZxCharacters.h"
#include "ZxNumber.h"

namespace brisalto {

namespace {

constexpr std::uint8_t kLetterBits = 0x1F;
constexpr std::uint8_t kLetterCount = 26;

// The subscripts of element index (counted from 0) over the first count dimensions.
std::string Subscripts(const std::vector<std::uint16_t>& dimensions, std::size_t count,
                       std::size_t index) {
    std::vector<std::size_t> each(count);
    for (std::size_t d = count; d-- > 0;) {
        each[d] = index % dimensions[d] + 1;
        index /= dimensions[d];
    }
    std::string text;
    for (std::size_t d = 0; d < count; ++d) {
        if (d > 0) text += ',';
        text += std::to_string(each[d]);
    }
    return text;
}

}  // namespace

std::optional<SpectrumArray> DecodeArrayBody(std::span<const std::uint8_t> bytes, bool characters,
                                             std::string name) {
    if (bytes.empty() || bytes[0] == 0) return std::nullopt;
    const std::size_t count = bytes[0];
    if (bytes.size() < 1 + 2 * count) return std::nullopt;
    SpectrumArray array;
    array.name = std::move(name);
    array.characters = characters;
    const std::size_t elementSize = characters ? 1 : kSpectrumNumberSize;
    // The elements must fill what follows the dimensions: the product is checked against it at
    // every step, so that it never overflows.
    const std::size_t room = (bytes.size() - 1 - 2 * count) / elementSize;
    std::size_t elements = 1;
    for (std::size_t d = 0; d < count; ++d) {
        const std::uint16_t dimension = std::uint16_t(bytes[1 + 2 * d] | bytes[2 + 2 * d] << 8);
        if (dimension == 0) return std::nullopt;
        elements *= dimension;
        if (elements > room) return std::nullopt;
        array.dimensions.push_back(dimension);
    }
    if (elements * elementSize != bytes.size() - 1 - 2 * count) return std::nullopt;

    const std::span<const std::uint8_t> values = bytes.subspan(1 + 2 * count);
    if (characters) {
        const std::size_t run = array.dimensions.back();
        for (std::size_t at = 0; at < values.size(); at += run) {
            std::string text;
            AppendSpectrumText(text, values.subspan(at, run));
            array.elements.push_back(std::move(text));
        }
    } else {
        for (std::size_t at = 0; at < values.size(); at += kSpectrumNumberSize) {
            const auto number = values.subspan(at).first<kSpectrumNumberSize>();
            if (!SpectrumNumberValue(number)) ++array.unreadable;
            array.elements.push_back(SpectrumNumberText(number));
        }
    }
    return array;
}

std::optional<SpectrumArray> DecodeArrayBlock(std::span<const std::uint8_t> data, bool characters,
                                              std::uint8_t nameByte) {
    const std::uint8_t letter = nameByte & kLetterBits;
    if (letter == 0 || letter > kLetterCount) return std::nullopt;
    std::string name(1, static_cast<char>('a' + letter - 1));
    if (characters) name += '$';
    return DecodeArrayBody(data, characters, std::move(name));
}

std::string ArrayHeading(const SpectrumArray& array) {
    std::string text = array.name + "(";
    for (std::size_t d = 0; d < array.dimensions.size(); ++d) {
        if (d > 0) text += ',';
        text += std::to_string(array.dimensions[d]);
    }
    return text + ")";
}

std::vector<std::string> ArrayLines(const SpectrumArray& array) {
    std::vector<std::string> lines;
    const bool characters = array.characters;
    // A character array's elements are its runs along the last dimension.
    const std::size_t count = array.dimensions.size() - (characters ? 1 : 0);
    for (std::size_t index = 0; index < array.elements.size(); ++index) {
        std::string line = array.name;
        if (count > 0) line += "(" + Subscripts(array.dimensions, count, index) + ")";
        line += " = ";
        line += characters ? "\"" + array.elements[index] + "\"" : array.elements[index];
        lines.push_back(std::move(line));
    }
    return lines;
}

std::vector<std::string> ArrayViewLines(const SpectrumArray& array) {
    std::vector<std::string> lines = {"DIM " + ArrayHeading(array)};
    for (const std::string& line : ArrayLines(array)) lines.push_back("  " + line);
    return lines;
}

}  // namespace brisalto
