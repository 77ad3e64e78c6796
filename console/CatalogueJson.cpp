// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueJson.h"

#include <array>
#include <charconv>
#include <cstdint>
#include <string_view>

#include "CodePageText.h"
#include "FailureText.h"
#include "JsonText.h"
#include "RecordingDamage.h"
#include "StandardInputTape.h"
#include "TzxTexts.h"
#include "TzxVersionText.h"

namespace brisalto {

namespace {

// The grid's fields by the names scripts read them by, in the grid's order.
struct JsonField {
    CatalogueField field;
    std::string_view key;
};

constexpr std::array<JsonField, kCatalogueFieldCount> kJsonFields = {{
    {CatalogueField::Offset, "offset"},
    {CatalogueField::Tipo, "type"},
    {CatalogueField::TipoStr, "description"},
    {CatalogueField::Name, "name"},
    {CatalogueField::Start, "start"},
    {CatalogueField::Par1, "basicLength"},
    {CatalogueField::Size, "size"},
}};

void AppendNumber(std::string& json, std::int64_t value) {
    char digits[24];
    json.append(digits, std::to_chars(digits, digits + sizeof digits, value).ptr);
}

void AppendKey(std::string& json, std::string_view key) {
    AppendJsonString(json, key);
    json += ": ";
}

void AppendRow(std::string& json, std::size_t number, const CatalogueRow& row) {
    json += "{\"row\": ";
    AppendNumber(json, static_cast<std::int64_t>(number));
    for (const JsonField& field : kJsonFields) {
        json += ", ";
        AppendKey(json, field.key);
        if (IsNull(row, field.field)) {
            json += "null";
        } else if (IsStringField(field.field)) {
            AppendJsonString(json, CodePageToUtf8(AsString(row, field.field)));
        } else {
            AppendNumber(json, AsInteger(row, field.field));
        }
    }
    json += ", \"position\": ";
    AppendNumber(json, static_cast<std::int64_t>(row.Position));
    json += ", \"flag\": ";
    AppendNumber(json, row.Flag);
    json += ", \"length\": ";
    AppendNumber(json, row.Length);
    json += ", \"checksum\": ";
    if (row.Checksum) {
        json += "{\"stored\": ";
        AppendNumber(json, row.Checksum->stored);
        json += ", \"computed\": ";
        AppendNumber(json, row.Checksum->computed);
        json += row.Checksum->Good() ? ", \"good\": true}" : ", \"good\": false}";
    } else {
        json += "null";
    }
    json += '}';
}

std::string_view ResultName(const TapeScan& scan) {
    if (!scan.result) return "failed";
    return *scan.result == ScanResult::Completed ? "completed" : "damaged";
}

}  // namespace

void WriteCatalogueJson(const ConsoleTape& tape, const TapeScan& scan, const TextWriter& write) {
    std::string json = "{";
    AppendKey(json, "tape");
    AppendJsonString(json, ShownPath(tape.location.path));
    json += ", ";
    AppendKey(json, "entry");
    if (tape.location.InArchive()) {
        AppendJsonString(json, tape.location.entry);
    } else {
        json += "null";
    }
    json += ", ";
    AppendKey(json, "size");
    if (scan.digest) {
        AppendNumber(json, static_cast<std::int64_t>(scan.digest->size));
    } else {
        json += "null";
    }
    json += ", ";
    AppendKey(json, "sha1");
    if (scan.digest) {
        AppendJsonString(json, scan.digest->sha1);
    } else {
        json += "null";
    }
    json += ",\n ";
    AppendKey(json, "result");
    AppendJsonString(json, ResultName(scan));
    json += ", ";
    AppendKey(json, "message");
    if (!scan.result) {
        AppendJsonString(json, ForPeople(scan.failure));
    } else if (*scan.result == ScanResult::Damaged) {
        AppendJsonString(json, DamagedTapeLine(scan.damage));
    } else {
        json += "null";
    }
    json += ", ";
    AppendKey(json, "tzxVersion");
    if (const auto& version = scan.details.tzxVersion) {
        AppendJsonString(json, TzxVersionText(version->major, version->minor));
    } else {
        json += "null";
    }
    json += ",\n ";
    AppendKey(json, "rows");
    json += '[';
    bool first = true;
    for (std::size_t index = 0; index < scan.catalogue.RowCount(); ++index) {
        const CatalogueRow& row = scan.catalogue.Row(index);
        json += first ? "\n  " : ",\n  ";
        first = false;
        AppendRow(json, scan.numbers[index], row);
        if (json.size() >= kTextPiece) {
            write(json);
            json.clear();
        }
    }
    json += first ? "],\n " : "\n ],\n ";

    const TzxTexts texts = ReadTzxTexts(scan.details.texts);
    AppendKey(json, "archiveInfo");
    json += '{';
    for (std::size_t i = 0; i < texts.archive.size(); ++i) {
        if (i > 0) json += ", ";
        AppendKey(json, texts.archive[i].key);
        AppendJsonString(json, texts.archive[i].text);
    }
    json += "},\n ";
    AppendKey(json, "descriptions");
    json += '[';
    for (std::size_t i = 0; i < texts.descriptions.size(); ++i) {
        if (i > 0) json += ", ";
        AppendJsonString(json, texts.descriptions[i]);
    }
    json += "]}";
    write(json);
}

}  // namespace brisalto
