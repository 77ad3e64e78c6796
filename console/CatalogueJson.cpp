// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueJson.h"

#include <array>
#include <string_view>

#include "CodePageText.h"
#include "FailureText.h"
#include "JsonLayout.h"
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

// A grid row with its number, as scripts read it.
Json RowJson(std::size_t number, const CatalogueRow& row) {
    Json json = {{"row", number}};
    for (const JsonField& field : kJsonFields) {
        const std::string key(field.key);
        if (IsNull(row, field.field)) {
            json[key] = nullptr;
        } else if (IsStringField(field.field)) {
            PutText(json, key, CodePageToUtf8(AsString(row, field.field)));
        } else {
            json[key] = AsInteger(row, field.field);
        }
    }
    json["position"] = row.Position;
    json["flag"] = row.Flag;
    json["length"] = row.Length;
    json["checksum"] = nullptr;
    if (row.Checksum) {
        json["checksum"] = {{"stored", row.Checksum->stored},
                            {"computed", row.Checksum->computed},
                            {"good", row.Checksum->Good()}};
    }
    return json;
}

std::string_view ResultName(const TapeScan& scan) {
    if (!scan.result) return "failed";
    return *scan.result == ScanResult::Completed ? "completed" : "damaged";
}

}  // namespace

void WriteCatalogueJson(const ConsoleTape& tape, const TapeScan& scan, const TextWriter& write) {
    // Laid out over lines as before: the tape, how its scan ended, each row, its texts.
    Json file = Json::object();
    PutText(file, "tape", ShownPath(tape.location.path));
    file["entry"] = nullptr;
    if (tape.location.InArchive()) PutText(file, "entry", tape.location.entry);
    file["size"] = nullptr;
    file["sha1"] = nullptr;
    if (scan.digest) {
        file["size"] = scan.digest->size;
        file["sha1"] = scan.digest->sha1;
    }

    Json ending = {{"result", ResultName(scan)}, {"message", nullptr}};
    if (!scan.result) {
        PutText(ending, "message", ForPeople(scan.failure));
    } else if (*scan.result == ScanResult::Damaged) {
        PutText(ending, "message", DamagedTapeLine(scan.damage));
    }
    ending["tzxVersion"] = nullptr;
    if (const auto& version = scan.details.tzxVersion)
        ending["tzxVersion"] = TzxVersionText(version->major, version->minor);

    std::string json = "{" + JsonMembers(file) + ",\n " + JsonMembers(ending) + ",\n \"rows\": [";
    bool first = true;
    for (std::size_t index = 0; index < scan.catalogue.RowCount(); ++index) {
        json += first ? "\n  " : ",\n  ";
        first = false;
        json += JsonLine(RowJson(scan.numbers[index], scan.catalogue.Row(index)));
        if (json.size() >= kTextPiece) {
            write(json);
            json.clear();
        }
    }
    json += first ? "],\n " : "\n ],\n ";

    const TzxTexts texts = ReadTzxTexts(scan.details.texts);
    Json archive = Json::object();
    for (const ArchiveField& field : texts.archive)
        PutText(archive, std::string(field.key), field.text);
    Json descriptions = Json::array();
    for (const std::string& text : texts.descriptions) descriptions.push_back(ReadableUtf8(text));
    json += "\"archiveInfo\": " + JsonLine(archive) +
            ",\n \"descriptions\": " + JsonLine(descriptions) + "}";
    write(json);
}

}  // namespace brisalto
