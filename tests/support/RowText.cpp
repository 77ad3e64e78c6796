// SPDX-License-Identifier: GPL-3.0-or-later
#include "RowText.h"

#include <cstdio>
#include <string_view>
#include <type_traits>

namespace brisalto::testing {

namespace {

std::string Escaped(std::string_view text) {
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
std::string Field(const std::optional<T>& value) {
    if (!value) return {};
    if constexpr (std::is_same_v<T, std::string>) {
        return Escaped(*value);
    } else {
        return std::to_string(*value);
    }
}

// The grid's columns in order, from values already spelled as text.
std::string Line(const std::string& offset, const std::string& tipo, const std::string& tipoStr,
                 const std::string& name, const std::string& start, const std::string& par1,
                 const std::string& size, std::uint64_t position) {
    return offset + "|" + tipo + "|" + tipoStr + "|" + name + "|" + start + "|" + par1 + "|" +
           size + " @" + std::to_string(position);
}

}  // namespace

std::string RowText(const ExpectedRow& row) {
    return Line(Field(row.Offset), Field(row.Tipo), Field(row.TipoStr), Field(row.Name),
                Field(row.Start), Field(row.Par1), Field(row.Size), row.Position);
}

std::string RowText(const CatalogueRow& row) {
    return Line(Field(row.Offset), Field(row.Tipo), Escaped(row.TipoStr.View()),
                Escaped(row.Name.View()), Field(row.Start), Field(row.Par1), Field(row.Size),
                row.Position);
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
