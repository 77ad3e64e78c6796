// SPDX-License-Identifier: GPL-3.0-or-later
#include "VariablesText.h"

#include <cstdio>

namespace brisalto {

std::vector<std::string> VariablesLines(const VariablesArea& area) {
    std::vector<std::string> lines;
    for (const SpectrumVariable& variable : area.variables) {
        switch (variable.kind) {
            case VariableKind::Number:
                lines.push_back(variable.name + " = " + variable.value);
                break;
            case VariableKind::String:
                lines.push_back(variable.name + " = \"" + variable.value + "\"");
                break;
            case VariableKind::ForLoop:
                lines.push_back("FOR " + variable.name + " = " + variable.value + " TO " +
                                variable.limit + " STEP " + variable.step + ", back to line " +
                                std::to_string(variable.line) + " statement " +
                                std::to_string(variable.statement));
                break;
            case VariableKind::NumberArray:
            case VariableKind::CharacterArray:
                lines.push_back("DIM " + ArrayHeading(variable.array));
                for (const std::string& element : ArrayLines(variable.array))
                    lines.push_back("  " + element);
                break;
        }
    }
    if (area.notVariablesFrom) {
        char text[80];
        std::snprintf(text, sizeof text, "Offset %zu (0x%04zX): not a variables area from here on",
                      *area.notVariablesFrom, *area.notVariablesFrom);
        lines.emplace_back(text);
    } else if (area.endMark) {
        lines.emplace_back("End of the variables (0x80 mark)");
        if (area.bytesAfterMark > 0) {
            lines.push_back(std::to_string(area.bytesAfterMark) +
                            " more bytes after the mark, which are no variables");
        }
    } else if (area.variables.empty()) {
        lines.emplace_back("No variables");
    }
    return lines;
}

}  // namespace brisalto
