// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueText.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <limits>

#include "CatalogueTable.h"
#include "CodePageText.h"
#include "GridColumns.h"
#include "ScanTape.h"

namespace brisalto {

namespace {

static_assert(CatalogueLines::kColumns == kGridColumns.size() + 1);

constexpr std::string_view kRowTitle = "Row";
constexpr std::size_t kRowColumn = 0;
constexpr std::size_t kGap = 2;  // blanks between two columns

CatalogueField FieldOf(std::size_t column) {
    return kGridColumns[column - 1].field;
}

bool LeftAligned(std::size_t column) {
    return column != kRowColumn && IsStringField(FieldOf(column));
}

std::string Decimal(std::int64_t value) {
    std::array<char, 24> digits{};
    const auto end = std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr;
    return {digits.data(), end};
}

// How wide a column must be to hold every value its field can take.
std::size_t WidestCell(std::size_t column) {
    if (column == kRowColumn) return Decimal(std::numeric_limits<std::int64_t>::max()).size();
    switch (FieldOf(column)) {
        case CatalogueField::Tipo: return Decimal(std::numeric_limits<std::int32_t>::min()).size();
        case CatalogueField::TipoStr: return kTipoStrWidth;
        case CatalogueField::Name: return kNameWidth;
        case CatalogueField::Offset:
        case CatalogueField::Start:
        case CatalogueField::Size:
        case CatalogueField::Par1: break;
    }
    return Decimal(std::numeric_limits<std::uint16_t>::max()).size();
}

// A row's cells as single-byte text, its number first; an empty cell is an empty string.
CatalogueLines::Cells CellsOf(std::size_t number, const CatalogueRow& row) {
    CatalogueLines::Cells cells;
    cells[kRowColumn] = Decimal(static_cast<std::int64_t>(number));
    for (std::size_t column = 1; column < CatalogueLines::kColumns; ++column) {
        const CatalogueField field = FieldOf(column);
        if (IsStringField(field)) {
            cells[column] = TextValue(row, field);
        } else if (const auto value = IntegerValue(row, field)) {
            cells[column] = Decimal(*value);
        }
    }
    return cells;
}

CatalogueLines::Cells Titles() {
    CatalogueLines::Cells titles;
    titles[kRowColumn] = kRowTitle;
    for (std::size_t column = 1; column < CatalogueLines::kColumns; ++column)
        titles[column] = kGridColumns[column - 1].title;
    return titles;
}

}  // namespace

CatalogueLines::CatalogueLines(TextWriter write) : write_(std::move(write)) {
    Widen(Titles());
}

void CatalogueLines::Add(const CatalogueRow& row) {
    if (!streaming_) {
        if (held_.size() < kHeldRows) {
            held_.emplace_back(next_++, row);
            return;
        }
        StartStreaming();
    }
    WriteRow(next_++, row);
}

// A long tape: its columns as wide as any row can need (the most rows a scan lists, and every
// field's widest cell but the kind's, whose widest the scanner never comes near), so that its
// rows can go as they come.
void CatalogueLines::StartStreaming() {
    widths_[kRowColumn] =
        std::max(widths_[kRowColumn], Decimal(static_cast<std::int64_t>(kMaxScanBlocks)).size());
    for (std::size_t column = 1; column < kColumns; ++column) {
        const CatalogueField field = FieldOf(column);
        if (field != CatalogueField::Tipo && field != CatalogueField::TipoStr)
            widths_[column] = std::max(widths_[column], WidestCell(column));
    }
    WriteHeld(true);
    streaming_ = true;
}

// The held rows, measured all before the first is written.
void CatalogueLines::WriteHeld(bool titled) {
    for (const auto& [number, row] : held_) Widen(CellsOf(number, row));
    if (titled) WriteLine(Titles());
    for (const auto& [number, row] : held_) WriteRow(number, row);
    held_ = {};
}

void CatalogueLines::Finish(bool titleWhenEmpty) {
    if (!streaming_) WriteHeld(!held_.empty() || titleWhenEmpty);
    write_(text_);
    text_.clear();
}

void CatalogueLines::WriteRow(std::size_t number, const CatalogueRow& row) {
    const Cells cells = CellsOf(number, row);
    // Held rows were measured before they are written; a later row that does not fit widens the
    // columns from its line on.
    Widen(cells);
    WriteLine(cells);
}

void CatalogueLines::Widen(const Cells& cells) {
    for (std::size_t column = 0; column < kColumns; ++column)
        widths_[column] = std::max(widths_[column], cells[column].size());
}

void CatalogueLines::WriteLine(const Cells& cells) {
    std::string& line = line_;
    line.clear();
    for (std::size_t column = 0; column < kColumns; ++column) {
        if (column > 0) line.append(kGap, ' ');
        const std::string& cell = cells[column];
        const std::size_t pad = widths_[column] - cell.size();
        if (!LeftAligned(column)) line.append(pad, ' ');
        line += cell;
        if (LeftAligned(column)) line.append(pad, ' ');
    }
    line.erase(line.find_last_not_of(' ') + 1);
    AppendVisibleText(text_, line);
    text_ += '\n';
    if (text_.size() >= kTextPiece) {
        write_(text_);
        text_.clear();
    }
}

}  // namespace brisalto
