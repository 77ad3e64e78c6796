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

// What a TZX tape's text blocks say to people.
struct TzxTexts {
    std::vector<ArchiveField> archive;      // archive information (0x32), in stored order
    std::vector<std::string> descriptions;  // text descriptions (0x30), in tape order
};

// Reads the archive information and text description blocks among blocks; other kinds are
// passed over. A block whose lengths run past its bytes gives what lies within them; a field
// of an unknown kind, or of a kind met before, is left out.
TzxTexts ReadTzxTexts(const std::vector<TzxTextBlock>& blocks);

}  // namespace brisalto
