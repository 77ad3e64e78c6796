// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "CatalogueRow.h"
#include "CatalogueSink.h"

namespace brisalto {

// Where text goes, a piece at a time, of about kTextPiece bytes when there is that much.
using TextWriter = std::function<void(std::string_view)>;
inline constexpr std::size_t kTextPiece = 64 * 1024;

// The rows as the window's grid shows them, in its columns under its titles, each row after its
// number (its place among the rows with raw blocks shown, counted from 1, whether they are),
// aligned in columns of characters; empty cells stay blank and control characters show as visible
// symbols. Text is handed to write in pieces as it fills. A tape of up to kHeldRows rows gets
// columns exactly as wide as its cells. Past that many the rows are written as they come, so that
// no long tape is ever all in memory, in columns as wide as any row can need; a cell wider still (a
// row the scanner never makes) widens its column from its line on, and nothing is cut.
class CatalogueLines final : public CatalogueSink {
public:
    static constexpr std::size_t kHeldRows = 4096;
    static constexpr std::size_t kColumns = 8;  // the row number and the grid's seven columns
    using Cells = std::array<std::string, kColumns>;

    explicit CatalogueLines(TextWriter write);
    void Add(const CatalogueRow& row) override;
    void AddUnfinished(const CatalogueRow&) override {}
    void AddUnlisted() override { ++next_; }

    // Writes the rows still held and hands on the text, after the title line when no row came
    // and titleWhenEmpty is set.
    void Finish(bool titleWhenEmpty);

private:
    void StartStreaming();
    void WriteHeld(bool titled);
    void WriteRow(std::size_t number, const CatalogueRow& row);
    void Widen(const Cells& cells);
    void WriteLine(const Cells& cells);

    TextWriter write_;
    std::vector<std::pair<std::size_t, CatalogueRow>> held_;  // rows with their numbers
    bool streaming_ = false;  // whether rows are written as they come
    std::size_t next_ = 1;    // the next row's number
    std::array<std::size_t, kColumns> widths_{};
    std::string text_;  // text not yet handed on
    std::string line_;  // the line being laid out, its room kept from line to line
};

}  // namespace brisalto
