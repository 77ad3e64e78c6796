// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string_view>

namespace brisalto {

// Single-byte tape text (names, descriptions, listing lines, failure messages) as screen
// characters: each byte through the system's single-byte code page, the ANSI code page on
// Windows and Windows-1252 elsewhere.
QString TapeText(std::string_view bytes);

}  // namespace brisalto
