// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueText.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <utility>

#include "CatalogueTable.h"
#include "CodePageText.h"
#include "GridColumns.h"
#include "ScanTape.h"

namespace brisalto {

namespace {

static_assert(CatalogueColumns::kCount == kGridColumns.size() + 1);

constexpr std::string_view kRowTitle = "Row";
constexpr std::size_t kRowColumn = 0;
// Lines up to this long are blanked in one fixed-size step, cheaper than one of their own length.
constexpr std::size_t kBlankRun = 96;

constexpr CatalogueField FieldOf(std::size_t column) {
    return kGridColumns[column - 1].field;
}

constexpr bool LeftAligned(std::size_t column) {
    return column != kRowColumn && IsStringField(FieldOf(column));
}

std::uint64_t Magnitude(std::int64_t value) {
    return value < 0 ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
}

// How many characters value takes in decimal, its minus sign included.
std::size_t Digits(std::int64_t value) {
    std::size_t count = value < 0 ? 2 : 1;
    for (std::uint64_t rest = Magnitude(value); rest >= 10; rest /= 10) ++count;
    return count;
}

// The two digits of every number below 100, for writing numbers two digits at a time.
constexpr std::array<char, 200> kDigitPairs = [] {
    std::array<char, 200> pairs{};
    for (std::size_t n = 0; n < 100; ++n) {
        pairs[2 * n] = static_cast<char>('0' + n / 10);
        pairs[2 * n + 1] = static_cast<char>('0' + n % 10);
    }
    return pairs;
}();

// Writes value's decimal digits to end back; returns where they start.
template <typename Unsigned>
char* PutDigits(char* end, Unsigned value) {
    for (; value >= 100; value /= 100) {
        end -= 2;
        std::memcpy(end, kDigitPairs.data() + 2 * (value % 100), 2);
    }
    if (value >= 10) {
        end -= 2;
        std::memcpy(end, kDigitPairs.data() + 2 * value, 2);
    } else {
        *--end = static_cast<char>('0' + value);
    }
    return end;
}

bool Plain(char c) {
    return c >= 0x20 && c < 0x7F;
}

// Whether eight characters are all printable ASCII. A byte below 0x20 borrows into its high bit,
// one of 0x7F carries into it and one of 0x80 or above has it; whatever spills into the next
// byte comes from such a byte, so the answer for the eight stays right.
bool Plain(std::uint64_t eight) {
    constexpr std::uint64_t kOnes = 0x0101010101010101;
    constexpr std::uint64_t kHighBits = 0x8080808080808080;
    return ((((eight - 0x20 * kOnes) & ~eight) | (eight + kOnes) | eight) & kHighBits) == 0;
}

// Copies text to `to` and returns whether it is printable ASCII. Cells are short, so eight
// characters go at a time, the last eight overlapping the ones before them; a shorter cell goes
// as two overlapping fours. Inlined by force, as the cells' code below is: the compiler leaves
// them calls otherwise, made for every cell of every row.
[[gnu::always_inline]] inline bool CopyPlain(std::string_view text, char* to) {
    const std::size_t size = text.size();
    if (size >= 8) {
        bool plain = true;
        for (std::size_t at = 0;; at += 8) {
            const std::size_t from = std::min(at, size - 8);
            std::uint64_t eight = 0;
            std::memcpy(&eight, text.data() + from, 8);
            std::memcpy(to + from, &eight, 8);
            plain = plain && Plain(eight);
            if (from == size - 8) return plain;
        }
    }
    if (size >= 4) {
        std::uint32_t first = 0;
        std::uint32_t last = 0;
        std::memcpy(&first, text.data(), 4);
        std::memcpy(&last, text.data() + size - 4, 4);
        std::memcpy(to, &first, 4);
        std::memcpy(to + size - 4, &last, 4);
        return Plain(first | std::uint64_t{last} << 32);
    }
    bool plain = true;
    for (std::size_t at = 0; at < size; ++at) {
        to[at] = text[at];
        plain = plain && Plain(text[at]);
    }
    return plain;
}

// Makes the length characters at line visible in place, where there is room for three bytes
// each; returns how many bytes they take now.
std::size_t MakeVisible(char* line, std::size_t length) {
    std::string visible;
    AppendVisibleText(visible, std::string_view(line, length));
    std::copy(visible.begin(), visible.end(), line);
    return visible.size();
}

// How wide a column must be to hold every value its field can take.
std::size_t WidestCell(std::size_t column) {
    if (column == kRowColumn) return Digits(std::numeric_limits<std::int64_t>::max());
    switch (FieldOf(column)) {
        case CatalogueField::Tipo: return Digits(std::numeric_limits<std::int32_t>::min());
        case CatalogueField::TipoStr: return kTipoStrWidth;
        case CatalogueField::Name: return kNameWidth;
        case CatalogueField::Offset:
        case CatalogueField::Start:
        case CatalogueField::Size:
        case CatalogueField::Par1: break;
    }
    return Digits(std::numeric_limits<std::uint16_t>::max());
}

}  // namespace

// A line being laid out in place, blank to begin with, its cells put anywhere in it: where its
// text ends (blanks after it left out) and whether it is all printable ASCII. Kept as a local
// value, so that its state stays out of memory that the line's own bytes might be.
class LineCells {
public:
    LineCells(char* chars, std::size_t width) : chars_(chars) {
        if (width <= kBlankRun) {
            std::memset(chars, ' ', kBlankRun);
        } else {
            std::fill_n(chars, width, ' ');
        }
    }
    // Puts text at start; a cell's trailing blanks do not end the line, and one of blanks alone
    // leaves the end where it was.
    [[gnu::always_inline]] void PutText(std::size_t start, std::string_view text) {
        plain_ = CopyPlain(text, chars_ + start) && plain_;
        std::size_t size = text.size();
        if (size > 0 && text[size - 1] == ' ') size = text.find_last_not_of(' ') + 1;
        if (size > 0) end_ = start + size;
    }
    // Puts value's digits before end, where the column ends.
    [[gnu::always_inline]] void PutNumber(std::size_t end, std::int64_t value) {
        char* at = chars_ + end;
        if (value >= 0 && value <= std::numeric_limits<std::uint32_t>::max()) {
            // Most numbers: 32-bit division is cheaper.
            PutDigits(at, static_cast<std::uint32_t>(value));
        } else {
            at = PutDigits(at, Magnitude(value));
            if (value < 0) *--at = '-';
        }
        end_ = end;
    }
    char* Chars() const noexcept { return chars_; }
    std::size_t End() const noexcept { return end_; }
    bool IsPlain() const noexcept { return plain_; }

private:
    char* chars_;
    std::size_t end_ = 0;
    bool plain_ = true;
};

CatalogueColumns::CatalogueColumns() {
    widths_[kRowColumn] = kRowTitle.size();
    for (std::size_t column = 1; column < kCount; ++column) {
        widths_[column] = std::char_traits<char>::length(kGridColumns[column - 1].title);
    }
    for (std::size_t column = 0; column < kCount; ++column) Fit(column);
}

void CatalogueColumns::Fit(std::size_t column) {
    // A column that holds every value of its field needs no look at its cells.
    full_[column] = widths_[column] >= WidestCell(column);
    // The largest magnitude with width digits, and with one less beside a minus sign.
    const auto largest = [](std::size_t width) {
        std::int64_t value = 0;
        for (std::size_t digit = 0; digit < width; ++digit) {
            if (value > (std::numeric_limits<std::int64_t>::max() - 9) / 10) {
                return std::numeric_limits<std::int64_t>::max();
            }
            value = value * 10 + 9;
        }
        return value;
    };
    fitHigh_[column] = largest(widths_[column]);
    fitLow_[column] = -largest(widths_[column] - 1);
}

bool CatalogueColumns::TakeNumber(std::size_t column, std::int64_t value) {
    return !Fits(column, value) && Widen(column, Digits(value));
}

bool CatalogueColumns::Widen(std::size_t column, std::size_t width) {
    if (width <= widths_[column]) return false;
    widths_[column] = width;
    Fit(column);
    return true;
}

template <std::size_t... Columns>
bool CatalogueColumns::TakeCells(const CatalogueRow& row, std::index_sequence<Columns...>) {
    const auto take = [&](std::size_t column) {
        if (full_[column]) return false;
        const CatalogueField field = FieldOf(column);
        if (IsStringField(field)) return Widen(column, TextValue(row, field).size());
        const auto value = IntegerValue(row, field);
        return value && TakeNumber(column, *value);
    };
    return (take(Columns + 1) | ...);
}

bool CatalogueColumns::Take(std::size_t number, const CatalogueRow& row) {
    const bool grew =
        !full_[kRowColumn] && TakeNumber(kRowColumn, static_cast<std::int64_t>(number));
    return TakeCells(row, std::make_index_sequence<kGridColumns.size()>()) || grew;
}

void CatalogueLines::Add(const CatalogueRow& row) {
    if (!streaming_) {
        if (held_.size() < kHeldRows) {
            // Room for them all at once: growing would touch twice the memory, and every page
            // first touched costs more than the rows that fill it.
            if (held_.empty()) held_.reserve(kHeldRows);
            held_.push_back(row);
            return;
        }
        StartStreaming();
    }
    WriteRow(row);
}

// A long tape: its columns as wide as any row can need (the most rows a scan lists, and every
// field's widest cell but the kind's, whose widest the scanner never comes near), so that its
// rows can go as they come.
void CatalogueLines::StartStreaming() {
    columns_.Widen(kRowColumn, Digits(static_cast<std::int64_t>(kMaxScanBlocks)));
    for (std::size_t column = 1; column < CatalogueColumns::kCount; ++column) {
        const CatalogueField field = FieldOf(column);
        if (field != CatalogueField::Tipo && field != CatalogueField::TipoStr) {
            columns_.Widen(column, WidestCell(column));
        }
    }
    WriteHeld(true);
    streaming_ = true;
}

// The held rows, measured all before the first is written.
void CatalogueLines::WriteHeld(bool titled) {
    for (std::size_t index = 0; index < held_.size(); ++index)
        columns_.Take(index + 1, held_[index]);
    Lay();
    if (titled) PutTitles();
    for (const CatalogueRow& row : held_) WriteRow(row);
    held_ = {};
}

void CatalogueLines::Finish(bool titleWhenEmpty) {
    if (!streaming_) WriteHeld(!held_.empty() || titleWhenEmpty);
    HandOn();
}

[[gnu::always_inline]] inline void CatalogueLines::WriteRow(const CatalogueRow& row) {
    ++written_;
    // Held rows were measured before they are written; a later row that does not fit widens the
    // columns from its line on.
    if (!PutRow(row)) {
        columns_.Take(written_, row);
        Lay();
        PutRow(row);
    }
    CountRowNumber();
}

// Lays out row's line after its number; false, with nothing kept, when a cell is wider than its
// column.
bool CatalogueLines::PutRow(const CatalogueRow& row) {
    LineCells line(text_.data() + used_, ends_.back());
    const std::size_t length = number_.size() - numberStart_;
    if (length > columns_.Width(kRowColumn)) return false;
    line.PutText(ends_[kRowColumn] - length,
                 std::string_view(number_.data() + numberStart_, length));
    if (!PutCells(row, line, std::make_index_sequence<kGridColumns.size()>())) return false;
    EndLine(line);
    return true;
}

void CatalogueLines::Lay() {
    std::size_t at = 0;
    for (std::size_t column = 0; column < CatalogueColumns::kCount; ++column) {
        starts_[column] = at;
        ends_[column] = at + columns_.Width(column);
        at = ends_[column] + 2;
    }
    // Room for a piece and a line of three-byte characters, so that lines are laid out in place.
    text_.resize(std::max(text_.size(), kTextPiece + std::max(3 * ends_.back() + 1, kBlankRun)));
}

[[gnu::always_inline]] inline void CatalogueLines::EndLine(const LineCells& line) {
    used_ += line.IsPlain() ? line.End() : MakeVisible(line.Chars(), line.End());
    text_[used_++] = '\n';
    if (used_ >= kTextPiece) HandOn();
}

void CatalogueLines::HandOn() {
    write_(std::string_view(text_.data(), used_));
    used_ = 0;
}

void CatalogueLines::CountRowNumber() {
    std::size_t digit = number_.size();
    while (digit > numberStart_ && number_[digit - 1] == '9') number_[--digit] = '0';
    if (digit > numberStart_) {
        ++number_[digit - 1];
    } else {
        number_[--numberStart_] = '1';
    }
}

void CatalogueLines::PutTitles() {
    LineCells line(text_.data() + used_, ends_.back());
    line.PutText(ends_[kRowColumn] - kRowTitle.size(), kRowTitle);
    for (std::size_t column = 1; column < CatalogueColumns::kCount; ++column) {
        const std::string_view title = kGridColumns[column - 1].title;
        line.PutText(LeftAligned(column) ? starts_[column] : ends_[column] - title.size(), title);
    }
    EndLine(line);
}

// The grid's cells of one row, each column's code made for its field: a long tape has hundreds
// of thousands of rows. False at the first cell wider than its column, before it is written.
template <std::size_t... Columns>
bool CatalogueLines::PutCells(const CatalogueRow& row, LineCells& line,
                              std::index_sequence<Columns...>) {
    return (PutCell<Columns + 1>(row, line) && ...);
}

template <std::size_t Column>
[[gnu::always_inline]] inline bool CatalogueLines::PutCell(const CatalogueRow& row,
                                                           LineCells& line) {
    constexpr CatalogueField field = FieldOf(Column);
    if constexpr (IsStringField(field)) {
        static_assert(LeftAligned(Column));
        const std::string_view text = TextValue(row, field);
        if (text.size() > columns_.Width(Column)) return false;
        if (!text.empty()) line.PutText(starts_[Column], text);
    } else if (const auto& cell = row.*IntegerMember<field>()) {
        const std::int64_t value = *cell;
        if (!columns_.Fits(Column, value)) return false;
        line.PutNumber(ends_[Column], value);
    }
    return true;
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
