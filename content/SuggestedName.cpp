// SPDX-License-Identifier: GPL-3.0-or-later
#include "SuggestedName.h"

#include <string_view>

#include "CatalogueTable.h"
#include "CodePageText.h"
#include "TapeBlock.h"

namespace brisalto {

namespace {

// The header row that names row index, if any.
const CatalogueRow* NamingHeader(const CatalogueTable& table, std::size_t index) {
    const CatalogueRow& row = table.Row(index);
    if (row.Flag == kHeaderFlag) return &row;
    if (index == 0) return nullptr;
    const CatalogueRow& before = table.Row(index - 1);
    return before.Flag == kHeaderFlag ? &before : nullptr;
}

// Characters Windows refuses in a file name, and control characters, become '_'; spaces and
// dots at either end go, as Windows would drop them.
std::string FileNamePart(std::string part) {
    constexpr std::string_view kRefused = "<>:\"/\\|?*";
    for (char& c : part) {
        const auto code = static_cast<unsigned char>(c);
        if (code < 0x20 || code == 0x7F || kRefused.find(c) != std::string_view::npos) c = '_';
    }
    const std::size_t first = part.find_first_not_of(" .");
    if (first == std::string::npos) return {};
    return part.substr(first, part.find_last_not_of(" .") + 1 - first);
}

// The tape's file name without its folder and its last extension.
std::string TapeName(const TapeLocation& tape) {
    const std::string& file = tape.InArchive() ? tape.entry : tape.path;
    const std::size_t slash = file.find_last_of("/\\");
    std::string name = slash == std::string::npos ? file : file.substr(slash + 1);
    if (const std::size_t dot = name.rfind('.'); dot != std::string::npos) name.resize(dot);
    return name;
}

}  // namespace

std::string SuggestedTapeName(const TapeLocation& tape, const char* suffix) {
    std::string name = FileNamePart(TapeName(tape));
    if (name.empty()) name = "tape";
    return name + suffix;
}

std::string SuggestedName(const CatalogueTable& table, std::size_t index, const TapeLocation& tape,
                          SaveKind kind) {
    const CatalogueRow* header = NamingHeader(table, index);
    std::string name = header != nullptr ? FileNamePart(CodePageToUtf8(header->Name.View())) : "";
    if (name.empty()) name = FileNamePart(TapeName(tape)) + "-" + std::to_string(index + 1);

    switch (kind) {
        case SaveKind::Listing: return name + ".bas.txt";
        case SaveKind::Screen: return name + ".png";
        case SaveKind::Block: break;
    }
    const CatalogueRow& row = table.Row(index);
    if (row.Flag == kHeaderFlag) return name + "-header.bin";
    if (header != nullptr && row.Tipo == kBytesDataTipo && header->Start)
        return name + "-" + std::to_string(*header->Start) + ".bin";
    return name + ".bin";
}

std::string SuggestedSoundName(const TapeLocation& tape, std::optional<std::size_t> fromIndex) {
    std::string name = TapeName(tape);
    if (fromIndex) name += "-from-" + std::to_string(*fromIndex + 1);
    return name + ".wav";
}

}  // namespace brisalto
