// SPDX-License-Identifier: GPL-3.0-or-later
#include "MemoLines.h"

#include <QPlainTextEdit>

#include "TapeText.h"

namespace brisalto {

void ListingLines::AddLine(std::string_view line) {
    if (hasLines_) text_ += QLatin1Char('\n');
    text_ += TapeText(line);
    hasLines_ = true;
}

MemoLines::~MemoLines() {
    if (!HasLines()) return;
    // An empty pane takes the text as it is (and stays scrolled to the top); a pane that already
    // holds lines gets the new ones after them.
    if (memo_.document()->isEmpty()) {
        memo_.setPlainText(Text());
    } else {
        memo_.appendPlainText(Text());
    }
}

}  // namespace brisalto
