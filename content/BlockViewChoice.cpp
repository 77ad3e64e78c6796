// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockViewChoice.h"

#include <algorithm>

#include "TapeBlock.h"

namespace brisalto {

const CatalogueRow* HeaderBefore(const CatalogueTable& catalogue, std::size_t index) {
    if (index == 0 || index >= catalogue.RowCount() || catalogue.Row(index).Flag != kDataFlag)
        return nullptr;
    const CatalogueRow& before = catalogue.Row(index - 1);
    const bool header = before.Flag == kHeaderFlag && before.Tipo && *before.Tipo >= kProgramTipo &&
                        *before.Tipo <= kBytesTipo;
    return header ? &before : nullptr;
}

bool IsHeadedDataOf(const CatalogueTable& catalogue, std::size_t index, std::int32_t kind) {
    const CatalogueRow* header = HeaderBefore(catalogue, index);
    return header != nullptr && kDataTipoBase + *header->Tipo == kind;
}

bool IsProgram(const CatalogueTable& catalogue, std::size_t index) {
    return IsHeadedDataOf(catalogue, index, kProgramDataTipo);
}

std::optional<std::uint16_t> LoadAddress(const CatalogueTable& catalogue, std::size_t index) {
    if (!IsHeadedDataOf(catalogue, index, kBytesDataTipo)) return std::nullopt;
    return HeaderBefore(catalogue, index)->Start;
}

std::optional<std::uint16_t> LastLoadedAddress(std::uint16_t load, std::size_t size) {
    if (size == 0) return std::nullopt;
    return static_cast<std::uint16_t>(std::min<std::size_t>(std::size_t{load} + size - 1, 0xFFFF));
}

std::optional<std::uint8_t> ArrayNameByte(const CatalogueTable& catalogue, std::size_t index) {
    if (!IsHeadedDataOf(catalogue, index, kNumberArrayDataTipo) &&
        !IsHeadedDataOf(catalogue, index, kCharacterArrayDataTipo))
        return std::nullopt;
    const std::optional<std::uint16_t> start = HeaderBefore(catalogue, index)->Start;
    if (!start) return std::nullopt;
    return static_cast<std::uint8_t>(*start >> 8);
}

std::vector<BlockViewKind> BlockViewsFor(const CatalogueTable& catalogue, std::size_t index) {
    const CatalogueRow& row = catalogue.Row(index);
    std::vector<BlockViewKind> views = {BlockViewKind::Hex};
    if (row.Checksum) views.push_back(BlockViewKind::Disassembly);
    if (IsProgram(catalogue, index)) {
        views.push_back(BlockViewKind::Basic);
        // The body is flag, data, checksum: data beyond the program's length is the variables.
        const std::size_t dataLength = row.Length >= 2 ? row.Length - 2 : 0;
        if (dataLength > row.Par1.value_or(0)) views.push_back(BlockViewKind::Variables);
    }
    if (IsHeadedDataOf(catalogue, index, kNumberArrayDataTipo) ||
        IsHeadedDataOf(catalogue, index, kCharacterArrayDataTipo))
        views.push_back(BlockViewKind::Array);
    return views;
}

}  // namespace brisalto
