// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace brisalto {

// The fields of a catalogue row, in their declared order (also the order of CatalogueRow).
enum class CatalogueField : std::uint8_t { Tipo, TipoStr, Name, Offset, Start, Size, Par1 };

inline constexpr std::size_t kCatalogueFieldCount = 7;

inline constexpr std::array<std::string_view, kCatalogueFieldCount> kCatalogueFieldNames = {
    "Tipo", "TipoStr", "Name", "Offset", "Start", "Size", "Par1"};

constexpr std::string_view FieldName(CatalogueField field) noexcept {
    return kCatalogueFieldNames[static_cast<std::size_t>(field)];
}

constexpr bool IsStringField(CatalogueField field) noexcept {
    return field == CatalogueField::TipoStr || field == CatalogueField::Name;
}

// The field of that name, matched without regard to case; nothing for an unknown name.
std::optional<CatalogueField> FindField(std::string_view name) noexcept;

}  // namespace brisalto
