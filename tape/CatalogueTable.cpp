// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueTable.h"

#include <charconv>
#include <cstdio>
#include <limits>
#include <stdexcept>

#include "CatalogueErrors.h"
#include "CatalogueObserver.h"

namespace brisalto {

namespace {

struct Range {
    std::int64_t low;
    std::int64_t high;
};

constexpr Range RangeOf(CatalogueField field) noexcept {
    if (field == CatalogueField::Tipo) {
        return {std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()};
    }
    return {0, std::numeric_limits<std::uint16_t>::max()};
}

// General format with 15 significant digits, so that every 32-bit value prints exactly.
std::string FormatG(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

[[noreturn]] void ThrowRange(CatalogueField field, std::int64_t value) {
    const Range range = RangeOf(field);
    throw FieldRangeError(FormatG(double(value)) + " is not a valid value for field '" +
                          std::string(FieldName(field)) + "'. The allowed range is " +
                          FormatG(double(range.low)) + " to " + FormatG(double(range.high)));
}

std::int64_t ParseInteger(std::string_view text) {
    std::int64_t value = 0;
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (error != std::errc() || end != text.data() + text.size()) {
        throw FieldConvertError("'" + std::string(text) + "' is not a valid integer value");
    }
    return value;
}

std::optional<std::uint16_t>* WordField(CatalogueRow& row, CatalogueField field) noexcept {
    switch (field) {
        case CatalogueField::Offset: return &row.Offset;
        case CatalogueField::Start: return &row.Start;
        case CatalogueField::Size: return &row.Size;
        case CatalogueField::Par1: return &row.Par1;
        default: return nullptr;
    }
}

}  // namespace

void CheckFieldRange(CatalogueField field, std::int64_t value) {
    const Range range = RangeOf(field);
    if (value < range.low || value > range.high) ThrowRange(field, value);
}

namespace {

void StoreInteger(CatalogueRow& row, CatalogueField field, std::int64_t value) {
    CheckFieldRange(field, value);
    if (field == CatalogueField::Tipo) {
        row.Tipo = static_cast<std::int32_t>(value);
    } else {
        *WordField(row, field) = static_cast<std::uint16_t>(value);
    }
}

}  // namespace

bool IsNull(const CatalogueRow& row, CatalogueField field) noexcept {
    if (field == CatalogueField::TipoStr) return row.TipoStr.IsNull();
    if (field == CatalogueField::Name) return row.Name.IsNull();
    return !IntegerValue(row, field).has_value();
}

std::int64_t AsInteger(const CatalogueRow& row, CatalogueField field) {
    if (IsStringField(field)) {
        const std::string_view text = TextValue(row, field);
        return text.empty() ? 0 : ParseInteger(text);
    }
    return IntegerValue(row, field).value_or(0);
}

std::string AsString(const CatalogueRow& row, CatalogueField field) {
    if (IsStringField(field)) return std::string(TextValue(row, field));
    const auto value = IntegerValue(row, field);
    return value ? std::to_string(*value) : std::string();
}

void CatalogueTable::Empty() {
    Post();
    rows_.clear();
    current_.reset();
    if (observer_ != nullptr) observer_->TableReset();
}

void CatalogueTable::Append() {
    Post();
    rows_.emplace_back();
    open_ = true;
    if (observer_ != nullptr) observer_->RowAppended(rows_.size() - 1);
    MoveCurrent(rows_.size() - 1);
}

void CatalogueTable::AppendPosted(const CatalogueRow& row) {
    AppendOpen(row);
    Post();
}

void CatalogueTable::AppendOpen(const CatalogueRow& row) {
    Append();
    rows_.back() = row;
}

void CatalogueTable::Post() {
    if (!open_) return;
    open_ = false;
    if (observer_ != nullptr) observer_->RowChanged(rows_.size() - 1);
}

void CatalogueTable::Cancel() {
    if (!open_) return;
    open_ = false;
    rows_.pop_back();
    if (observer_ != nullptr) observer_->RowRemoved(rows_.size());
    MoveCurrent(rows_.empty() ? std::nullopt : std::optional(rows_.size() - 1));
}

void CatalogueTable::First() {
    Post();
    if (!rows_.empty()) MoveCurrent(0);
}

void CatalogueTable::MoveTo(std::size_t index) {
    if (index >= rows_.size()) throw std::out_of_range("CatalogueTable::MoveTo");
    if (current_ != index) Post();
    MoveCurrent(index);
}

void CatalogueTable::MoveCurrent(std::optional<std::size_t> index) {
    if (current_ == index) return;
    current_ = index;
    if (observer_ != nullptr) observer_->CurrentRowMoved(current_);
}

CatalogueRow& CatalogueTable::OpenRow() {
    if (!open_) throw std::logic_error("The catalogue has no open row");
    return rows_.back();
}

CatalogueField CatalogueTable::FieldNamed(std::string_view fieldName) {
    const auto field = FindField(fieldName);
    if (!field) throw std::invalid_argument("Field '" + std::string(fieldName) + "' not found");
    return *field;
}

void CatalogueTable::SetInteger(CatalogueField field, std::int64_t value) {
    CatalogueRow& row = OpenRow();
    if (IsStringField(field)) {
        SetString(field, std::to_string(value));
        return;
    }
    StoreInteger(row, field, value);
}

void CatalogueTable::SetString(CatalogueField field, std::string_view text) {
    CatalogueRow& row = OpenRow();
    switch (field) {
        case CatalogueField::TipoStr: row.TipoStr.Assign(text); return;
        case CatalogueField::Name: row.Name.Assign(text); return;
        default: break;
    }
    text = text.substr(0, text.find('\0'));
    if (text.empty()) {
        if (field == CatalogueField::Tipo) {
            row.Tipo.reset();
        } else {
            WordField(row, field)->reset();
        }
        return;
    }
    StoreInteger(row, field, ParseInteger(text));
}

void CatalogueTable::SetInteger(std::string_view fieldName, std::int64_t value) {
    SetInteger(FieldNamed(fieldName), value);
}

void CatalogueTable::SetString(std::string_view fieldName, std::string_view text) {
    SetString(FieldNamed(fieldName), text);
}

void CatalogueTable::SetPosition(std::uint64_t position) {
    OpenRow().Position = position;
}

void CatalogueTable::SetBlock(std::uint8_t flag, std::optional<BlockChecksum> checksum,
                              std::uint32_t length) {
    CatalogueRow& row = OpenRow();
    row.Flag = flag;
    row.Length = length;
    row.Checksum = checksum;
}

const CatalogueRow* CatalogueTable::CurrentRow() const noexcept {
    return current_ ? &rows_[*current_] : nullptr;
}

std::int64_t CatalogueTable::AsInteger(CatalogueField field) const {
    const CatalogueRow* row = CurrentRow();
    return row != nullptr ? brisalto::AsInteger(*row, field) : 0;
}

std::string CatalogueTable::AsString(CatalogueField field) const {
    const CatalogueRow* row = CurrentRow();
    return row != nullptr ? brisalto::AsString(*row, field) : std::string();
}

std::int64_t CatalogueTable::AsInteger(std::string_view fieldName) const {
    return AsInteger(FieldNamed(fieldName));
}

std::string CatalogueTable::AsString(std::string_view fieldName) const {
    return AsString(FieldNamed(fieldName));
}

bool CatalogueTable::IsNull(CatalogueField field) const {
    const CatalogueRow* row = CurrentRow();
    return row == nullptr || brisalto::IsNull(*row, field);
}

}  // namespace brisalto
