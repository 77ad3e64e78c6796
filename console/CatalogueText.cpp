#include "CatalogueText.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "CodePageText.h"
#include "GridColumns.h"

namespace brisalto {

namespace {

constexpr std::size_t kColumns = kGridColumns.size() + 1;  // the row number first
constexpr std::string_view kRowTitle = "Row";
constexpr std::size_t kPiece = 64 * 1024;  // text handed on at a time

using Widths = std::array<std::size_t, kColumns>;

CatalogueField FieldOf(std::size_t column) {
    return kGridColumns[column - 1].field;
}

bool LeftAligned(std::size_t column) {
    return column > 0 && IsStringField(FieldOf(column));
}

// The decimal digits of value, into digits; returns their count.
std::size_t ToDigits(std::int64_t value, std::array<char, 24>& digits) {
    return static_cast<std::size_t>(
        std::to_chars(digits.data(), digits.data() + digits.size(), value).ptr - digits.data());
}

std::size_t Digits(std::int64_t value) {
    std::array<char, 24> digits;
    return ToDigits(value, digits);
}

// One line at a time, laid out in the tape's own single-byte text, where every character is one
// byte and one column, then made visible UTF-8; pieces of text are handed on as they fill.
class LineLayout {
public:
    explicit LineLayout(const Widths& widths) {
        std::size_t at = 0;
        for (std::size_t column = 0; column < kColumns; ++column) {
            starts_[column] = at;
            ends_[column] = at + widths[column];
            at = ends_[column] + 2;
        }
        line_.assign(ends_.back(), ' ');
    }

    void Put(std::size_t column, std::string_view cell) {
        const std::size_t at = LeftAligned(column) ? starts_[column] : ends_[column] - cell.size();
        std::copy(cell.begin(), cell.end(), line_.begin() + static_cast<std::ptrdiff_t>(at));
    }
    void PutNumber(std::size_t column, std::int64_t value) {
        std::array<char, 24> digits;
        Put(column, std::string_view(digits.data(), ToDigits(value, digits)));
    }
    void EndLine(const TextWriter& write) {
        std::size_t length = line_.size();
        while (length > 0 && line_[length - 1] == ' ') --length;
        AppendVisibleText(text_, std::string_view(line_.data(), length));
        text_ += '\n';
        std::fill(line_.begin(), line_.end(), ' ');
        if (text_.size() >= kPiece) Flush(write);
    }
    void Flush(const TextWriter& write) {
        write(text_);
        text_.clear();
    }

private:
    Widths starts_{};
    Widths ends_{};
    std::string line_;
    std::string text_;
};

}  // namespace

void WriteCatalogueText(const CatalogueTable& catalogue, const TextWriter& write) {
    Widths widths{};
    widths[0] = std::max(kRowTitle.size(), Digits(static_cast<std::int64_t>(catalogue.RowCount())));
    for (std::size_t column = 1; column < kColumns; ++column) {
        widths[column] = std::char_traits<char>::length(kGridColumns[column - 1].title);
    }
    for (std::size_t index = 0; index < catalogue.RowCount(); ++index) {
        const CatalogueRow& row = catalogue.Row(index);
        for (std::size_t column = 1; column < kColumns; ++column) {
            const CatalogueField field = FieldOf(column);
            if (IsStringField(field)) {
                widths[column] = std::max(widths[column], TextValue(row, field).size());
            } else if (const auto value = IntegerValue(row, field)) {
                widths[column] = std::max(widths[column], Digits(*value));
            }
        }
    }

    LineLayout line(widths);
    line.Put(0, kRowTitle);
    for (std::size_t column = 1; column < kColumns; ++column) {
        line.Put(column, kGridColumns[column - 1].title);
    }
    line.EndLine(write);
    for (std::size_t index = 0; index < catalogue.RowCount(); ++index) {
        const CatalogueRow& row = catalogue.Row(index);
        line.PutNumber(0, static_cast<std::int64_t>(index) + 1);
        for (std::size_t column = 1; column < kColumns; ++column) {
            const CatalogueField field = FieldOf(column);
            if (IsStringField(field)) {
                line.Put(column, TextValue(row, field));
            } else if (const auto value = IntegerValue(row, field)) {
                line.PutNumber(column, *value);
            }
        }
        line.EndLine(write);
    }
    line.Flush(write);
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
