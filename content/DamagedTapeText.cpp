// SPDX-License-Identifier: GPL-3.0-or-later
#include "DamagedTapeText.h"

#include "FailureText.h"

namespace brisalto {

std::string SoundStopsText(std::size_t rows, std::string_view stop) {
    std::string text = "The sound stops after row " + std::to_string(rows) + '.';
    if (!stop.empty()) (text += ' ') += stop;
    return text;
}

std::string DamagedTapeText(std::string_view consequence, std::string_view reason) {
    std::string text = "Tape file is seriously corrupted. ";
    text += consequence;
    if (!reason.empty()) text += ' ' + FailureText(reason);
    return text;
}

std::string DamagedTapeText(const TapeDocument& document, std::string_view consequence) {
    return DamagedTapeText(
        consequence, document.soundDamage ? document.soundDamage->reason : std::string_view());
}

}  // namespace brisalto
