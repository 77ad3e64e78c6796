// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace brisalto {

// The first keyword token; every byte from here to 0xFF is one.
inline constexpr std::uint8_t kFirstKeywordToken = 0xA3;

// Keyword texts for the tokens 0xA3..0xFF, in byte order, eight to a row.
// clang-format off
inline constexpr std::array<std::string_view, 93> BasicKeywords = {
    "SPECTRUM", "PLAY",   "RND",     "INKEY$", "PI",      "FN",       "POINT",  "SCREEN$",
    "ATTR",     "AT",     "TAB",     "VAL$",   "CODE",    "VAL",      "LEN",    "SIN",
    "COS",      "TAN",    "ASN",     "ACS",    "ATN",     "LN",       "EXP",    "INT",
    "SQR",      "SGN",    "ABS",     "PEEK",   "IN",      "USR",      "STR$",   "CHR$",
    "NOT",      "BIN",    "OR",      "AND",    "<=",      ">=",       "<>",     "LINE",
    "THEN",     "TO",     "STEP",    "DEF FN", "CAT",     "FORMAT",   "MOVE",   "ERASE",
    "OPEN #",   "CLOSE #", "MERGE",  "VERIFY", "BEEP",    "CIRCLE",   "INK",    "PAPER",
    "FLASH",    "BRIGHT", "INVERSE", "OVER",   "OUT",     "LPRINT",   "LLIST",  "STOP",
    "READ",     "DATA",   "RESTORE", "NEW",    "BORDER",  "CONTINUE", "DIM",    "REM",
    "FOR",      "GO TO",  "GO SUB",  "INPUT",  "LOAD",    "LIST",     "LET",    "PAUSE",
    "NEXT",     "POKE",   "PRINT",   "PLOT",   "RUN",     "SAVE",     "RANDOMIZE", "IF",
    "CLS",      "DRAW",   "CLEAR",   "RETURN", "COPY",
};
// clang-format on
static_assert(BasicKeywords.size() == 0x100 - kFirstKeywordToken);

}  // namespace brisalto
