// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "DecodeArray.h"
#include "DecodeVariables.h"
#include "JsonLayout.h"

namespace brisalto {

// The variables area as one JSON object: "variables", each with "kind" (number, string,
// numberArray, characterArray, forLoop), "offset" (from the area's start), "name", and its
// values as PRINT shows them ("value"; "limit", "step", "line", "statement" for a loop;
// "dimensions" and "elements" for an array); "areaOffset" (where the area starts in the data),
// "endMark", "bytesAfterMark", and "notVariablesFrom" (null, or the offset where the rest is no
// variable).
std::string VariablesJson(const VariablesArea& area, std::size_t areaOffset);

// One variable and one array as JSON objects, texts put by PutText's rule.
void to_json(Json& json, const SpectrumVariable& variable);
void to_json(Json& json, const SpectrumArray& array);

// An array block as one JSON object: "name", "dimensions", "elements".
std::string ArrayJson(const SpectrumArray& array);

}  // namespace brisalto
