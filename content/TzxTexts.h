// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "ScanDetails.h"

namespace brisalto {

// One field of a TZX archive information block: its name for scripts, its label for people and
// its text in UTF-8, lines split by '\n'.
struct ArchiveField {
    std::string_view key;    // "title", "publisher", ...
    std::string_view label;  // "Title", "Publisher", ...
    std::string text;
};

// What a TZX tape's text blocks say to people, in UTF-8.
struct TzxTexts {
    std::vector<ArchiveField> archive;      // archive information (0x32), in stored order
    std::vector<std::string> descriptions;  // text descriptions (0x30), in tape order
    std::vector<std::string> messages;      // messages (0x31), in tape order
    std::vector<std::string> hardware;      // hardware information (0x33): "machine: what it does"
};

// Reads the text blocks among blocks. A block whose lengths run past its bytes gives what lies
// within them; an archive field of an unknown kind, or of a kind met before, is left out.
TzxTexts ReadTzxTexts(const std::vector<TzxTextBlock>& blocks);

// What the text blocks say, as lines for people, in tape order: archive information (0x32) as
// one line per field under "Archive information:" (every field, unknown kinds as "Field N"),
// text descriptions (0x30) and messages (0x31) as their text, hardware information (0x33) as
// one line per machine or device with what the tape does on it. A text's own line breaks
// (0x0D) start new lines, indented under its first. Texts stay in the tape's code page.
std::vector<std::string> TzxTextLines(const std::vector<TzxTextBlock>& blocks);

}  // namespace brisalto
