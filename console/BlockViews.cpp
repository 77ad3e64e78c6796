// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockViews.h"

#include <span>
#include <vector>

#include "BlockBytes.h"
#include "BlockViewChoice.h"
#include "DecodeArray.h"
#include "DecodeVariables.h"
#include "DisassembleZ80.h"
#include "HexLines.h"
#include "ProgramView.h"
#include "VariablesJson.h"
#include "VariablesText.h"

namespace brisalto {

namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

// The program of a program's data row, as the Block View's BASIC tab shows it.
BlockViewText Basic(const CatalogueTable& catalogue, std::size_t index,
                    const TapeDocument& document) {
    const CatalogueRow& row = catalogue.Row(index);
    if (!IsHeadedDataOf(catalogue, index, kProgramDataTipo)) return {{}, "is not a program's data"};
    std::string text;
    for (const std::string& line :
         ProgramViewLines(BodyAt(document, row), row.Par1.value_or(0)))
        text += line + '\n';
    return {text, {}};
}

BlockViewText Hex(const CatalogueTable& catalogue, std::size_t index,
                  const TapeDocument& document) {
    const CatalogueRow& row = catalogue.Row(index);
    HexLayout layout;
    layout.loadAddress = LoadAddress(catalogue, index);
    return {Joined(HexLines(BodyAt(document, row), layout)), {}};
}

std::vector<std::string> DisassemblyLines(std::span<const std::uint8_t> data, std::uint16_t address,
                                          std::size_t from) {
    std::vector<std::string> lines;
    for (const Z80Line& line : DisassembleZ80(data, address, from))
        lines.push_back(Z80LineText(line));
    return lines;
}

BlockViewText Disassembly(const ConsoleRequest& request, const CatalogueTable& catalogue,
                          std::size_t index, const TapeDocument& document) {
    const CatalogueRow& row = catalogue.Row(index);
    const std::optional<std::uint16_t> loadAddress = LoadAddress(catalogue, index);
    if (!loadAddress && !request.from)
        return {{}, "is not a Bytes block; '--from ADDR' gives the address its data loads at"};
    const std::vector<std::uint8_t> data = BlockData(BodyAt(document, row));
    if (!loadAddress) return {Joined(DisassemblyLines(data, std::uint16_t(*request.from), 0)), {}};
    // A Bytes block loads at its header's address; --from picks the address to start at in it.
    const std::uint16_t start = *loadAddress;
    const unsigned from = request.from.value_or(start);
    if (from < start || from - start >= data.size()) {
        return {{},
                "holds no byte at address " + std::to_string(from) + " (it loads at " +
                    std::to_string(start) + ", " + std::to_string(data.size()) + " bytes)"};
    }
    return {Joined(DisassemblyLines(data, start, from - start)), {}};
}

BlockViewText Variables(const ConsoleRequest& request, const CatalogueTable& catalogue,
                        std::size_t index, const TapeDocument& document) {
    const CatalogueRow& row = catalogue.Row(index);
    if (!IsHeadedDataOf(catalogue, index, kProgramDataTipo))
        return {{}, "is not a BASIC program's data block"};
    const std::vector<std::uint8_t> data = BlockData(BodyAt(document, row));
    const std::size_t programLength = row.Par1.value_or(0);
    if (programLength > data.size()) {
        return {{},
                "holds " + std::to_string(data.size()) + " bytes, fewer than its program's " +
                    std::to_string(programLength)};
    }
    const VariablesArea area = DecodeVariables(std::span(data).subspan(programLength));
    if (request.json) return {VariablesJson(area, programLength), {}};
    return {Joined(VariablesLines(area)), {}};
}

BlockViewText Array(const ConsoleRequest& request, const CatalogueTable& catalogue,
                    std::size_t index, const TapeDocument& document) {
    const CatalogueRow& row = catalogue.Row(index);
    const bool characters = IsHeadedDataOf(catalogue, index, kCharacterArrayDataTipo);
    const CatalogueRow* header = HeaderBefore(catalogue, index);
    if ((!characters && !IsHeadedDataOf(catalogue, index, kNumberArrayDataTipo)) ||
        !header->Start)
        return {{}, "is not an array's data block"};
    const std::vector<std::uint8_t> data = BlockData(BodyAt(document, row));
    const auto array = DecodeArrayBlock(data, characters, std::uint8_t(*header->Start >> 8));
    if (!array) return {{}, "holds no array: its dimensions do not fit its bytes"};
    if (request.json) return {ArrayJson(*array), {}};
    std::vector<std::string> lines = {"DIM " + ArrayHeading(*array)};
    for (const std::string& line : ArrayLines(*array)) lines.push_back("  " + line);
    return {Joined(lines), {}};
}

}  // namespace

BlockViewText ViewBlock(const ConsoleRequest& request, const CatalogueTable& catalogue,
                        std::size_t index, const TapeDocument& document) {
    switch (request.command) {
        case ConsoleCommand::Hex: return Hex(catalogue, index, document);
        case ConsoleCommand::Basic: return Basic(catalogue, index, document);
        case ConsoleCommand::Disasm: return Disassembly(request, catalogue, index, document);
        case ConsoleCommand::Variables: return Variables(request, catalogue, index, document);
        case ConsoleCommand::Array: return Array(request, catalogue, index, document);
        default: return {{}, "has no such view"};
    }
}

}  // namespace brisalto
