// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockViews.h"

#include <algorithm>
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

using Views = std::vector<BlockViewKind>;

bool Offers(const Views& views, BlockViewKind view) {
    return std::ranges::find(views, view) != views.end();
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + '\n';
    return text;
}

// The program of a program's data row, as the Block View's BASIC tab shows it.
BlockViewText Basic(const Views& views, const CatalogueTable& catalogue, std::size_t index,
                    const TapeDocument& document) {
    const CatalogueRow& row = catalogue.Row(index);
    if (!Offers(views, BlockViewKind::Basic)) return {{}, "is not a program's data"};
    std::string text;
    for (const std::string& line : ProgramViewLines(BodyAt(document, row), row.Par1.value_or(0)))
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

BlockViewText Disassembly(const ConsoleRequest& request, const Views& views,
                          const CatalogueTable& catalogue, std::size_t index,
                          const TapeDocument& document) {
    const CatalogueRow& row = catalogue.Row(index);
    if (!Offers(views, BlockViewKind::Disassembly)) return {{}, "has no body to disassemble"};
    const std::optional<std::uint16_t> loadAddress = LoadAddress(catalogue, index);
    if (!loadAddress && !request.from)
        return {{}, "is not a Bytes block; '--from ADDR' gives the address its data loads at"};
    const std::vector<std::uint8_t> data = BlockData(BodyAt(document, row));
    if (!loadAddress) return {Joined(DisassemblyLines(data, std::uint16_t(*request.from), 0)), {}};
    // A Bytes block loads at its header's address; --from picks the address to start at in it.
    const std::uint16_t start = *loadAddress;
    const unsigned from = request.from.value_or(start);
    const std::optional<std::uint16_t> last = LastLoadedAddress(start, data.size());
    if (from < start || !last || from > *last) {
        return {{},
                "holds no byte at address " + std::to_string(from) + " (it loads at " +
                    std::to_string(start) + ", " + std::to_string(data.size()) + " bytes)"};
    }
    return {Joined(DisassemblyLines(data, start, from - start)), {}};
}

BlockViewText Variables(const ConsoleRequest& request, const Views& views,
                        const CatalogueTable& catalogue, std::size_t index,
                        const TapeDocument& document) {
    const CatalogueRow& row = catalogue.Row(index);
    if (!IsProgram(catalogue, index)) return {{}, "is not a BASIC program's data block"};
    const std::vector<std::uint8_t> data = BlockData(BodyAt(document, row));
    const std::size_t programLength = row.Par1.value_or(0);
    if (programLength > data.size()) {
        return {{},
                "holds " + std::to_string(data.size()) + " bytes, fewer than its program's " +
                    std::to_string(programLength)};
    }
    if (!Offers(views, BlockViewKind::Variables))
        return {{}, "holds no variables after its program"};
    const VariablesArea area = DecodeVariables(std::span(data).subspan(programLength));
    if (request.json) return {VariablesJson(area, programLength), {}};
    return {Joined(VariablesLines(area)), {}};
}

BlockViewText Array(const ConsoleRequest& request, const Views& views,
                    const CatalogueTable& catalogue, std::size_t index,
                    const TapeDocument& document) {
    const CatalogueRow& row = catalogue.Row(index);
    const std::optional<std::uint8_t> nameByte = ArrayNameByte(catalogue, index);
    if (!Offers(views, BlockViewKind::Array) || !nameByte)
        return {{}, "is not an array's data block"};
    const bool characters = IsHeadedDataOf(catalogue, index, kCharacterArrayDataTipo);
    const std::vector<std::uint8_t> data = BlockData(BodyAt(document, row));
    const auto array = DecodeArrayBlock(data, characters, *nameByte);
    if (!array) return {{}, std::string("holds no array: ") + kArrayMisfitText};
    if (request.json) return {ArrayJson(*array), {}};
    return {Joined(ArrayViewLines(*array)), {}};
}

}  // namespace

BlockViewText ViewBlock(const ConsoleRequest& request, const CatalogueTable& catalogue,
                        std::size_t index, const TapeDocument& document) {
    // The views the Block View shows for the row, and no others.
    const Views views = BlockViewsFor(catalogue, index);
    switch (request.command) {
        case ConsoleCommand::Hex: return Hex(catalogue, index, document);
        case ConsoleCommand::Basic: return Basic(views, catalogue, index, document);
        case ConsoleCommand::Disasm: return Disassembly(request, views, catalogue, index, document);
        case ConsoleCommand::Variables:
            return Variables(request, views, catalogue, index, document);
        case ConsoleCommand::Array: return Array(request, views, catalogue, index, document);
        default: return {{}, "has no such view"};
    }
}

}  // namespace brisalto
