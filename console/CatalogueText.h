// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CatalogueRow.h"
#include "CatalogueSink.h"
#include "TzxTexts.h"

namespace brisalto {

// Where text goes, a piece at a time, of about kTextPiece bytes when there is that much.
using TextWriter = std::function<void(std::string_view)>;
inline constexpr std::size_t kTextPiece = 64 * 1024;

// The widths, in characters, of the catalogue text's columns: the row number, then the grid's
// columns; each as wide as its title and the widest cell taken.
class CatalogueColumns {
public:
    static constexpr std::size_t kCount = 8;  // the row number and the grid's seven columns

    CatalogueColumns();
    // Widens the columns that the cells of row, numbered number, do not fit; returns whether
    // any grew.
    bool Take(std::size_t number, const CatalogueRow& row);
    // Widens column to width characters, if it is narrower; returns whether it was.
    bool Widen(std::size_t column, std::size_t width);
    std::size_t Width(std::size_t column) const noexcept { return widths_[column]; }
    // Whether a number fits column as it is.
    bool Fits(std::size_t column, std::int64_t value) const noexcept {
        return value >= fitLow_[column] && value <= fitHigh_[column];
    }

private:
    template <std::size_t... Columns>
    bool TakeCells(const CatalogueRow& row, std::index_sequence<Columns...>);
    bool TakeNumber(std::size_t column, std::int64_t value);
    void Fit(std::size_t column);

    std::array<std::size_t, kCount> widths_{};
    // The numbers each column's width holds, a minus sign included.
    std::array<std::int64_t, kCount> fitLow_{};
    std::array<std::int64_t, kCount> fitHigh_{};
    std::array<bool, kCount> full_{};  // as wide as any cell of its field
};

// The rows as the window's grid shows them, in its columns under its titles, each row after its
// number (counted from 1), aligned in columns of characters; empty cells stay blank and control
// characters show as visible symbols. Text is handed to write in pieces as it fills.
// A tape of up to kHeldRows rows gets columns exactly as wide as its cells. Past that many the
// rows are written as they come, so that no long tape is ever all in memory, in columns as wide
// as any row can need; a cell wider still (a row the scanner never makes) widens its column
// from its line on, and nothing is cut.
class LineCells;

class CatalogueLines final : public CatalogueSink {
public:
    static constexpr std::size_t kHeldRows = 4096;

    explicit CatalogueLines(TextWriter write) : write_(std::move(write)) { CountRowNumber(); }
    void Add(const CatalogueRow& row) override;
    void AddUnfinished(const CatalogueRow&) override {}

    // Writes the rows still held and hands on the text, after the title line when no row came
    // and titleWhenEmpty is set.
    void Finish(bool titleWhenEmpty);

private:
    void StartStreaming();
    void WriteHeld(bool titled);
    void WriteRow(const CatalogueRow& row);
    bool PutRow(const CatalogueRow& row);
    void Lay();
    void PutTitles();
    void CountRowNumber();
    template <std::size_t... Columns>
    bool PutCells(const CatalogueRow& row, LineCells& line, std::index_sequence<Columns...>);
    template <std::size_t Column>
    bool PutCell(const CatalogueRow& row, LineCells& line);
    void EndLine(const LineCells& line);
    void HandOn();

    TextWriter write_;
    std::vector<CatalogueRow> held_;
    bool streaming_ = false;  // whether rows are written as they come
    CatalogueColumns columns_;
    std::size_t written_ = 0;  // rows written
    // The next row's number as text, right-aligned: counted up a digit at a time, cheaper than
    // writing out a number for every row, and as soon as a row is written rather than just before
    // the next, whose copy of it would wait for the count.
    std::array<char, 20> number_{};
    std::size_t numberStart_ = number_.size();
    std::array<std::size_t, CatalogueColumns::kCount> starts_{};
    std::array<std::size_t, CatalogueColumns::kCount> ends_{};
    std::string text_;      // text not yet handed on, then room for more
    std::size_t used_ = 0;  // how much of text_ is text
};

// A TZX tape's archive information and descriptions, one "Label: text" line each, further
// lines of a text indented below it; nothing when there are none.
std::string TzxTextsText(const TzxTexts& texts);

}  // namespace brisalto
