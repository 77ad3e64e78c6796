// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockViewChoice.h"

#include "TapeBlock.h"

namespace brisalto {

const CatalogueRow* HeaderBefore(const CatalogueTable& catalogue, std::size_t index) {
    while (index-- > 0) {
        const CatalogueRow& row = catalogue.Row(index);
        if (row.Flag == kHeaderFlag && row.Tipo && *row.Tipo >= 0 && *row.Tipo < kDataTipoBase)
            return &row;
    }
    return nullptr;
}

bool IsDataOf(const CatalogueRow& row, std::int32_t kind) {
    return row.Flag == kDataFlag && row.Tipo == kind;
}

std::optional<std::uint16_t> LoadAddress(const CatalogueTable& catalogue, std::size_t index) {
    if (!IsDataOf(catalogue.Row(index), kBytesDataTipo)) return std::nullopt;
    const CatalogueRow* header = HeaderBefore(catalogue, index);
    if (header == nullptr) return std::nullopt;
    return header->Start;
}

std::vector<BlockViewKind> BlockViewsFor(const CatalogueTable& catalogue, std::size_t index) {
    const CatalogueRow& row = catalogue.Row(index);
    std::vector<BlockViewKind> views = {BlockViewKind::Hex};
    if (row.Checksum) views.push_back(BlockViewKind::Disassembly);
    if (IsDataOf(row, kProgramDataTipo)) {
        views.push_back(BlockViewKind::Basic);
        // The body is flag, data, checksum: data beyond the program's length is the variables.
        const std::size_t dataLength = row.Length >= 2 ? row.Length - 2 : 0;
        if (dataLength > row.Par1.value_or(0)) views.push_back(BlockViewKind::Variables);
    }
    if (IsDataOf(row, kNumberArrayDataTipo) || IsDataOf(row, kCharacterArrayDataTipo))
        views.push_back(BlockViewKind::Array);
    return views;
}

}  // namespace brisalto
