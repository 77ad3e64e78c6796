// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>

#include "CatalogueField.h"

namespace brisalto {

// One column of the catalogue grid: the field it shows, its title and its width in pixels.
struct GridColumn {
    CatalogueField field;
    const char* title;
    int width;
};

// The grid's columns, left to right.
inline constexpr std::array<GridColumn, 7> kGridColumns = {{
    {CatalogueField::Offset, "Offset", 56},
    {CatalogueField::Tipo, "Type", 41},
    {CatalogueField::TipoStr, "Block Type Description", 170},
    {CatalogueField::Name, "File Name", 101},
    {CatalogueField::Start, "Start", 67},
    {CatalogueField::Par1, "Basic Length", 68},
    {CatalogueField::Size, "Size", 66},
}};

}  // namespace brisalto
