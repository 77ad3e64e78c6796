#include "RowText.h"

#include <cstdio>
#include <type_traits>

namespace brisalto::testing {

namespace {

std::string Escaped(const std::string& text) {
    std::string out;
    for (const char c : text) {
        const auto code = static_cast<unsigned char>(c);
        if (code >= 0x20 && code < 0x7F) {
            out += c;
        } else {
            char hex[8];
            std::snprintf(hex, sizeof hex, "\\x%02X", code);
            out += hex;
        }
    }
    return out;
}

template <typename T>
std::string Item(const char* name, const std::optional<T>& value) {
    std::string text = std::string(name) + "=";
    if (!value) return text + "null";
    if constexpr (std::is_same_v<T, std::string>) {
        return text + "'" + Escaped(*value) + "'";
    } else {
        return text + std::to_string(*value);
    }
}

std::optional<std::int64_t> IntegerOf(const CatalogueRow& row, CatalogueField field) {
    if (IsNull(row, field)) return std::nullopt;
    return AsInteger(row, field);
}

std::optional<std::string> TextOf(const CatalogueRow& row, CatalogueField field) {
    if (IsNull(row, field)) return std::nullopt;
    return AsString(row, field);
}

}  // namespace

std::string RowText(const ExpectedRow& row) {
    return Item("Tipo", row.Tipo) + " " + Item("TipoStr", row.TipoStr) + " " +
           Item("Name", row.Name) + " " + Item("Offset", row.Offset) + " " +
           Item("Start", row.Start) + " " + Item("Size", row.Size) + " " + Item("Par1", row.Par1) +
           " @" + std::to_string(row.Position);
}

std::string RowText(const CatalogueRow& row) {
    return Item("Tipo", IntegerOf(row, CatalogueField::Tipo)) + " " +
           Item("TipoStr", TextOf(row, CatalogueField::TipoStr)) + " " +
           Item("Name", TextOf(row, CatalogueField::Name)) + " " +
           Item("Offset", IntegerOf(row, CatalogueField::Offset)) + " " +
           Item("Start", IntegerOf(row, CatalogueField::Start)) + " " +
           Item("Size", IntegerOf(row, CatalogueField::Size)) + " " +
           Item("Par1", IntegerOf(row, CatalogueField::Par1)) + " @" + std::to_string(row.Position);
}

std::vector<std::string> RowTexts(const std::vector<ExpectedRow>& rows) {
    std::vector<std::string> texts;
    for (const ExpectedRow& row : rows) texts.push_back(RowText(row));
    return texts;
}

std::vector<std::string> RowTexts(const CatalogueTable& table) {
    std::vector<std::string> texts;
    for (std::size_t i = 0; i < table.RowCount(); ++i) texts.push_back(RowText(table.Row(i)));
    return texts;
}

}  // namespace brisalto::testing
