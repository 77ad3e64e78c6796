// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <string>

#include "DecodeArray.h"
#include "DecodeVariables.h"

namespace brisalto {

// The variables area as one JSON object: "variables", each with "kind" (number, string,
// numberArray, characterArray, forLoop), "offset" (from the area's start), "name", and its
// values as PRINT shows them ("value"; "limit", "step", "line", "statement" for a loop;
// "dimensions" and "elements" for an array); "areaOffset" (where the area starts in the data),
// "endMark", "bytesAfterMark", and "notVariablesFrom" (null, or the offset where the rest is no
// variable).
std::string VariablesJson(const VariablesArea& area, std::size_t areaOffset);

// An array block as one JSON object: "name", "dimensions", "elements".
std::string ArrayJson(const SpectrumArray& array);

}  // namespace brisalto
