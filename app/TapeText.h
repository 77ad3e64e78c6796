// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string_view>

namespace brisalto {

// Single-byte tape text (names, descriptions, listing lines, failure messages) as screen
// characters, spelt as the console program spells them (CodePageToUtf8).
QString TapeText(std::string_view bytes);

}  // namespace brisalto
