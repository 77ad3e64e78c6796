// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeaderWording.h"

#include "HeaderKind.h"

namespace brisalto {

namespace {

constexpr std::uint16_t kNoAutostart = 32768;  // a program saved without LINE
constexpr std::uint16_t kScreenStart = 16384;
constexpr std::uint16_t kScreenLength = 6912;

std::string Quoted(std::string_view kind, std::string_view name) {
    std::string text(kind);
    text += ": \"";
    text += name;
    text += '"';
    return text;
}

// The array's one-letter name from the name byte: its low five bits count from a.
char ArrayLetter(std::uint16_t param1) {
    const int letter = (param1 >> 8) & 0x1F;
    return letter >= 1 && letter <= 26 ? static_cast<char>('a' + letter - 1) : '?';
}

}  // namespace

std::vector<std::string> HeaderWording(const HeaderFacts& header) {
    const std::optional<HeaderKind> kind = HeaderKindOf(header.type);
    if (!kind) return {Quoted("Header type " + std::to_string(header.type), header.name)};
    const std::string named = Quoted(HeaderKindName(*kind), header.name);
    switch (*kind) {
        case HeaderKind::Program: {
            std::string line = named;
            if (header.param1 < kNoAutostart) line += " LINE " + std::to_string(header.param1);
            std::string lengths = "Program length " + std::to_string(header.param2);
            if (header.param2 <= header.dataLength) {
                lengths +=
                    ", variables length " + std::to_string(header.dataLength - header.param2);
            } else {
                lengths +=
                    ", more than the " + std::to_string(header.dataLength) + " bytes of data";
            }
            return {line, lengths};
        }
        case HeaderKind::NumberArray: return {named + " DATA " + ArrayLetter(header.param1) + "()"};
        case HeaderKind::CharacterArray:
            return {named + " DATA " + ArrayLetter(header.param1) + "$()"};
        case HeaderKind::Bytes:
            if (header.dataLength == kScreenLength && header.param1 == kScreenStart) {
                return {named + " SCREEN$"};
            }
            return {named + " CODE " + std::to_string(header.param1) + "," +
                    std::to_string(header.dataLength)};
    }
    return {named};
}

}  // namespace brisalto
