// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueField.h"

#include <algorithm>

namespace brisalto {

namespace {

constexpr char LowerAscii(char c) noexcept {
    return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c;
}

bool EqualIgnoringCase(std::string_view a, std::string_view b) noexcept {
    return std::ranges::equal(a, b, [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

}  // namespace

std::optional<CatalogueField> FindField(std::string_view name) noexcept {
    for (std::size_t i = 0; i < kCatalogueFieldCount; ++i) {
        if (EqualIgnoringCase(kCatalogueFieldNames[i], name)) return CatalogueField(i);
    }
    return std::nullopt;
}

}  // namespace brisalto
