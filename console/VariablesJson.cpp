// SPDX-License-Identifier: GPL-3.0-or-later
#include "VariablesJson.h"

#include "JsonText.h"

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

void AppendField(std::string& json, const char* name, std::string_view value) {
    json += ", \"";
    json += name;
    json += "\": ";
    AppendJsonString(json, value);
}

void AppendArrayFields(std::string& json, const SpectrumArray& array) {
    json += ", \"dimensions\": [";
    for (std::size_t d = 0; d < array.dimensions.size(); ++d) {
        if (d > 0) json += ", ";
        json += std::to_string(array.dimensions[d]);
    }
    json += "], \"elements\": [";
    for (std::size_t e = 0; e < array.elements.size(); ++e) {
        if (e > 0) json += ", ";
        AppendJsonString(json, array.elements[e]);
    }
    json += "]";
}

}  // namespace

std::string VariablesJson(const VariablesArea& area, std::size_t areaOffset) {
    std::string json = "{\"areaOffset\": " + std::to_string(areaOffset) + ", \"variables\": [";
    bool first = true;
    for (const SpectrumVariable& variable : area.variables) {
        json += first ? "\n  {" : ",\n  {";
        first = false;
        json += "\"kind\": \"";
        json += KindName(variable.kind);
        json += "\", \"offset\": " + std::to_string(variable.offset);
        const bool array = variable.kind == VariableKind::NumberArray ||
                           variable.kind == VariableKind::CharacterArray;
        AppendField(json, "name", array ? variable.array.name : variable.name);
        if (array) {
            AppendArrayFields(json, variable.array);
        } else {
            AppendField(json, "value", variable.value);
        }
        if (variable.kind == VariableKind::ForLoop) {
            AppendField(json, "limit", variable.limit);
            AppendField(json, "step", variable.step);
            json += ", \"line\": " + std::to_string(variable.line);
            json += ", \"statement\": " + std::to_string(variable.statement);
        }
        json += "}";
    }
    json += first ? "]" : "\n]";
    json += ", \"endMark\": ";
    json += area.endMark ? "true" : "false";
    json += ", \"bytesAfterMark\": " + std::to_string(area.bytesAfterMark);
    json += ", \"notVariablesFrom\": ";
    json += area.notVariablesFrom ? std::to_string(*area.notVariablesFrom) : "null";
    json += "}\n";
    return json;
}

std::string ArrayJson(const SpectrumArray& array) {
    std::string json = "{\"name\": ";
    AppendJsonString(json, array.name);
    AppendArrayFields(json, array);
    json += "}\n";
    return json;
}

}  // namespace brisalto
