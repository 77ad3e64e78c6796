// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeText.h"

#include "CodePageText.h"

namespace brisalto {

QString TapeText(std::string_view bytes) {
    return QString::fromStdString(CodePageToUtf8(bytes));
}

}  // namespace brisalto
