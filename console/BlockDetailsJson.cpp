// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockDetailsJson.h"

#include "JsonText.h"

namespace brisalto {

namespace {

void AppendValue(std::string& json, const DetailField& field) {
    if (field.list) json += '[';
    bool first = true;
    for (const std::int64_t number : field.numbers) {
        if (!first) json += ", ";
        json += std::to_string(number);
        first = false;
    }
    for (const std::string& text : field.texts) {
        if (!first) json += ", ";
        AppendJsonString(json, text);
        first = false;
    }
    if (field.list) json += ']';
}

void AppendFields(std::string& json, const std::vector<DetailField>& fields) {
    json += '{';
    for (std::size_t f = 0; f < fields.size(); ++f) {
        const DetailField& field = fields[f];
        if (f > 0) json += ", ";
        AppendJsonString(json, field.key);
        json += ": ";
        AppendValue(json, field);
        if (field.notListed > 0) {
            json += ", ";
            AppendJsonString(json, std::string(field.key) + "NotListed");
            json += ": " + std::to_string(field.notListed);
        }
    }
    json += '}';
}

}  // namespace

std::string BlockDetailJson(const BlockDetail& detail) {
    std::string json = "{\"block\": " + std::to_string(detail.index + 1);
    json += ", \"id\": " + std::to_string(detail.id) + ", \"name\": ";
    AppendJsonString(json, detail.name);
    json += ", \"position\": " + std::to_string(detail.position);
    json += ", \"length\": " + std::to_string(detail.length);
    json += ", \"row\": " + (detail.row ? std::to_string(*detail.row) : std::string("null"));
    json += ", \"fields\": ";
    AppendFields(json, detail.fields);
    json += '}';
    return json;
}

}  // namespace brisalto
