// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "BlockDetails.h"
#include "JsonLayout.h"

namespace brisalto {

// A block's details as one JSON object on one line: "block" (from 1), "id", "name",
// "position", "length", "row" (null for a block the grid never lists) and "fields", an object
// of each field's key and its number, text or list of them (a list cut short also has
// "KEYNotListed", the entries left out).
void to_json(Json& json, const DetailField& field);
void to_json(Json& json, const BlockDetail& detail);
std::string BlockDetailJson(const BlockDetail& detail);

}  // namespace brisalto
