// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockDetailsJson.h"

#include "JsonLayout.h"

namespace brisalto {

void to_json(Json& json, const DetailField& field) {
    // A field holds numbers or texts; one of them stands alone unless the field is a list.
    Json values = Json::array();
    for (const std::int64_t number : field.numbers) values.push_back(number);
    for (const std::string& text : field.texts) values.push_back(ReadableUtf8(text));
    json = !field.list && values.size() == 1 ? values.front() : values;
}

void to_json(Json& json, const BlockDetail& detail) {
    json = {{"block", detail.index + 1}, {"id", detail.id}};
    PutText(json, "name", detail.name);
    json["position"] = detail.position;
    json["length"] = detail.length;
    json["row"] = nullptr;
    if (detail.row) json["row"] = *detail.row;
    Json fields = Json::object();
    for (const DetailField& field : detail.fields) {
        const std::string key(field.key);
        if (!field.list && field.numbers.empty() && field.texts.size() == 1) {
            PutText(fields, key, field.texts.front());
        } else {
            fields[key] = field;
        }
        if (field.notListed > 0) fields[key + "NotListed"] = field.notListed;
    }
    json["fields"] = std::move(fields);
}

std::string BlockDetailJson(const BlockDetail& detail) {
    return JsonLine(detail);
}

}  // namespace brisalto
