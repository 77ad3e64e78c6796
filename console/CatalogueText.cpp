#include "CatalogueText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <vector>

#include "CodePageText.h"
#include "GridColumns.h"

namespace brisalto {

namespace {

constexpr std::size_t kColumns = kGridColumns.size() + 1;  // the row number first
using Cells = std::array<std::string, kColumns>;

std::string Number(std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    return {digits, end};
}

bool LeftAligned(std::size_t column) {
    return column > 0 && IsStringField(kGridColumns[column - 1].field);
}

void AppendCell(std::string& line, const std::string& cell, std::size_t width, bool left) {
    const std::string padding(width - TextColumns(cell), ' ');
    if (left) {
        line += cell;
        line += padding;
    } else {
        line += padding;
        line += cell;
    }
}

void AppendLine(std::string& text, const Cells& cells,
                const std::array<std::size_t, kColumns>& widths) {
    const std::size_t start = text.size();
    for (std::size_t column = 0; column < kColumns; ++column) {
        if (column > 0) text += "  ";
        AppendCell(text, cells[column], widths[column], LeftAligned(column));
    }
    while (text.size() > start && text.back() == ' ') text.pop_back();
    text += '\n';
}

}  // namespace

std::string CatalogueText(const CatalogueTable& catalogue, bool showRaw) {
    Cells titles;
    titles[0] = "Row";
    for (std::size_t column = 1; column < kColumns; ++column) {
        titles[column] = kGridColumns[column - 1].title;
    }
    std::array<std::size_t, kColumns> widths{};
    for (std::size_t column = 0; column < kColumns; ++column)
        widths[column] = titles[column].size();

    std::vector<Cells> rows;
    rows.reserve(catalogue.RowCount());
    for (std::size_t index = 0; index < catalogue.RowCount(); ++index) {
        const CatalogueRow& row = catalogue.Row(index);
        if (!showRaw && row.Flag != 0x00) continue;
        Cells& cells = rows.emplace_back();
        cells[0] = Number(static_cast<std::int64_t>(index) + 1);
        for (std::size_t column = 1; column < kColumns; ++column) {
            const CatalogueField field = kGridColumns[column - 1].field;
            if (IsNull(row, field)) continue;
            cells[column] = IsStringField(field) ? VisibleText(AsString(row, field))
                                                 : Number(AsInteger(row, field));
        }
        for (std::size_t column = 0; column < kColumns; ++column) {
            widths[column] = std::max(widths[column], TextColumns(cells[column]));
        }
    }

    std::string text;
    text.reserve((rows.size() + 1) * 80);
    AppendLine(text, titles, widths);
    for (const Cells& cells : rows) AppendLine(text, cells, widths);
    return text;
}

std::string TzxTextsText(const TzxTexts& texts) {
    std::string text;
    const auto append = [&text](std::string_view label, const std::string& value) {
        text += label;
        text += ": ";
        for (const char c : value) {
            text += c;
            if (c == '\n') text += "    ";
        }
        text += '\n';
    };
    for (const ArchiveField& field : texts.archive) append(field.label, field.text);
    for (const std::string& description : texts.descriptions) append("Description", description);
    return text;
}

}  // namespace brisalto
