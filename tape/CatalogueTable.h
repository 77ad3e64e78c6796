// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "CatalogueField.h"
#include "CatalogueRow.h"
#include "CatalogueRows.h"

namespace brisalto {

class CatalogueObserver;

// The in-memory block catalogue: rows in append order, a cursor on at most one current row,
// and at most one open row (appended, not yet posted) which is then the current one.
// Fields are set on the open row and read from the current row.
class CatalogueTable {
public:
    // One observer at a time (the grid's model); nullptr detaches it.
    void SetObserver(CatalogueObserver* observer) noexcept { observer_ = observer; }

    // Posts an open row, then removes every row; afterwards no row is current.
    void Empty();
    // Opens a new all-null row at the end and makes it current.
    void Append();
    // Completes the open row; it stays current. Does nothing when no row is open.
    void Post();
    // Discards the open row; the row before it, if any, becomes current.
    void Cancel();
    // Appends a whole row and posts it, as Append, setting its fields and Post would; its field
    // values are taken as they are, so they must lie in their ranges.
    void AppendPosted(const CatalogueRow& row);
    // Appends a row holding what row holds and leaves it open, as a failed scan does.
    void AppendOpen(const CatalogueRow& row);
    // Makes the first row current, posting an open row first.
    void First();
    // Makes the row at index current, posting an open row first when moving off it.
    void MoveTo(std::size_t index);

    // Set a field of the open row. A value outside the field's range fails with FieldRangeError
    // and leaves the field as it was; strings are cut at the field's width and at a 0x00.
    void SetInteger(CatalogueField field, std::int64_t value);
    void SetString(CatalogueField field, std::string_view text);
    void SetInteger(std::string_view fieldName, std::int64_t value);
    void SetString(std::string_view fieldName, std::string_view text);
    // The full file position behind Offset, kept beside the fields.
    void SetPosition(std::uint64_t position);
    // The block's flag byte, checksum state and body length, kept beside the fields for the
    // row's tooltip and for reading the block again.
    void SetBlock(std::uint8_t flag, std::optional<BlockChecksum> checksum, std::uint32_t length);

    // Read a field of the current row; a null field, or no current row, reads as 0 or "".
    std::int64_t AsInteger(CatalogueField field) const;
    std::string AsString(CatalogueField field) const;
    std::int64_t AsInteger(std::string_view fieldName) const;
    std::string AsString(std::string_view fieldName) const;
    bool IsNull(CatalogueField field) const;

    std::size_t RowCount() const noexcept { return rows_.size(); }
    const CatalogueRow& Row(std::size_t index) const { return rows_.at(index); }
    std::optional<std::size_t> CurrentIndex() const noexcept { return current_; }
    const CatalogueRow* CurrentRow() const noexcept;
    bool HasOpenRow() const noexcept { return open_; }

private:
    CatalogueRow& OpenRow();
    static CatalogueField FieldNamed(std::string_view fieldName);
    void MoveCurrent(std::optional<std::size_t> index);

    CatalogueRows rows_;
    std::optional<std::size_t> current_;
    bool open_ = false;
    CatalogueObserver* observer_ = nullptr;
};

// Fails with FieldRangeError, as setting the field would, when value lies outside its range.
void CheckFieldRange(CatalogueField field, std::int64_t value);

// The row's member that an integer field is, for code made per field that reads it straight,
// in its own type rather than as IntegerValue's optional of 64 bits.
template <CatalogueField Field>
constexpr auto IntegerMember() noexcept {
    static_assert(!IsStringField(Field));
    if constexpr (Field == CatalogueField::Tipo) return &CatalogueRow::Tipo;
    if constexpr (Field == CatalogueField::Offset) return &CatalogueRow::Offset;
    if constexpr (Field == CatalogueField::Start) return &CatalogueRow::Start;
    if constexpr (Field == CatalogueField::Size) return &CatalogueRow::Size;
    if constexpr (Field == CatalogueField::Par1) return &CatalogueRow::Par1;
}

// An integer field's value as stored, unset when null or when the field holds text; and a text
// field's bytes as stored. Inline: a view of a long tape reads them millions of times.
inline std::optional<std::int64_t> IntegerValue(const CatalogueRow& row,
                                                CatalogueField field) noexcept {
    using enum CatalogueField;
    switch (field) {
        case Tipo: return row.*IntegerMember<Tipo>();
        case Offset: return row.*IntegerMember<Offset>();
        case Start: return row.*IntegerMember<Start>();
        case Size: return row.*IntegerMember<Size>();
        case Par1: return row.*IntegerMember<Par1>();
        case TipoStr:
        case Name: break;
    }
    return std::nullopt;
}
inline std::string_view TextValue(const CatalogueRow& row, CatalogueField field) noexcept {
    return field == CatalogueField::TipoStr ? row.TipoStr.View() : row.Name.View();
}

// Null test and readers of one row, for views that walk rows other than the current one.
bool IsNull(const CatalogueRow& row, CatalogueField field) noexcept;
std::int64_t AsInteger(const CatalogueRow& row, CatalogueField field);
std::string AsString(const CatalogueRow& row, CatalogueField field);

}  // namespace brisalto
