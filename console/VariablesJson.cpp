// SPDX-License-Identifier: GPL-3.0-or-later
#include "VariablesJson.h"

#include "JsonLayout.h"

namespace brisalto {

namespace {

const char* KindName(VariableKind kind) {
    switch (kind) {
        case VariableKind::Number: return "number";
        case VariableKind::String: return "string";
        case VariableKind::NumberArray: return "numberArray";
        case VariableKind::CharacterArray: return "characterArray";
        case VariableKind::ForLoop: return "forLoop";
    }
    return "";
}

// An array's dimensions and elements, put into the object that names it.
void PutArray(Json& json, const SpectrumArray& array) {
    json["dimensions"] = array.dimensions;
    Json elements = Json::array();
    for (const std::string& element : array.elements) elements.push_back(ReadableUtf8(element));
    json["elements"] = std::move(elements);
}

}  // namespace

void to_json(Json& json, const SpectrumVariable& variable) {
    json = {{"kind", KindName(variable.kind)}, {"offset", variable.offset}};
    const bool array =
        variable.kind == VariableKind::NumberArray || variable.kind == VariableKind::CharacterArray;
    PutText(json, "name", array ? variable.array.name : variable.name);
    if (array) {
        PutArray(json, variable.array);
    } else {
        PutText(json, "value", variable.value);
    }
    if (variable.kind == VariableKind::ForLoop) {
        PutText(json, "limit", variable.limit);
        PutText(json, "step", variable.step);
        json["line"] = variable.line;
        json["statement"] = variable.statement;
    }
}

void to_json(Json& json, const SpectrumArray& array) {
    json = Json::object();
    PutText(json, "name", array.name);
    PutArray(json, array);
}

std::string VariablesJson(const VariablesArea& area, std::size_t areaOffset) {
    // One variable a line, as before.
    std::string json = "{\"areaOffset\": " + std::to_string(areaOffset) + ", \"variables\": [";
    bool first = true;
    for (const SpectrumVariable& variable : area.variables) {
        json += first ? "\n  " : ",\n  ";
        first = false;
        json += JsonLine(variable);
    }
    json += first ? "]" : "\n]";
    Json rest = {{"endMark", area.endMark}, {"bytesAfterMark", area.bytesAfterMark}};
    rest["notVariablesFrom"] = nullptr;
    if (area.notVariablesFrom) rest["notVariablesFrom"] = *area.notVariablesFrom;
    json += ", " + JsonMembers(rest) + "}\n";
    return json;
}

std::string ArrayJson(const SpectrumArray& array) {
    return JsonLine(array) + "\n";
}

}  // namespace brisalto
