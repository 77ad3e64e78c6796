// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace brisalto {

// What a header announces, by the type byte after its flag.
enum class HeaderKind : std::uint8_t {
    Program = 0,
    NumberArray = 1,
    CharacterArray = 2,
    Bytes = 3,
};

// The kind a header's type byte gives; none for a type no Spectrum saves.
constexpr std::optional<HeaderKind> HeaderKindOf(std::uint8_t type) noexcept {
    if (type > static_cast<std::uint8_t>(HeaderKind::Bytes)) return std::nullopt;
    return static_cast<HeaderKind>(type);
}

// The one wording of each kind, wherever a header's kind is named: the catalogue's rows
// ("Numeric Array A()"), and so the console's catalogue, and the tooltip's header wording.
constexpr std::string_view HeaderKindName(HeaderKind kind) noexcept {
    constexpr std::array<std::string_view, 4> kNames = {"Program", "Numeric Array",
                                                        "Character Array", "Bytes"};
    return kNames[static_cast<std::size_t>(kind)];
}

}  // namespace brisalto
