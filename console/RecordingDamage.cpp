// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingDamage.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "DamagedTapeText.h"

namespace brisalto {

TapeDocument ConsoleDocumentFromRead(const TapeLocation& location, ReadBytes read) {
    return EndAtSoundDamage(TapeDocumentFromRead(location, std::move(read)));
}

TapeDocument ReadConsoleDocument(const TapeLocation& location) {
    return ConsoleDocumentFromRead(location, ReadTapeBytes(location));
}

TapeDocument EndAtSoundDamage(TapeDocument document) {
    if (!document.soundDamage) return document;
    const TapeDocument::SoundDamage damage = *document.soundDamage;
    const std::span<const std::uint8_t> bytes = document.Bytes();
    const auto end =
        static_cast<std::ptrdiff_t>(std::min<std::uint64_t>(damage.position, bytes.size()));
    TapeDocument cut = TapeDocumentFromBytes(
        document.location,
        std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.begin() + end));
    cut.stamp = document.stamp;
    cut.result = ScanResult::Damaged;
    cut.soundDamage = damage;
    return cut;
}

std::string DamagedTapeLine(const std::string& reason) {
    return DamagedTapeText(kCannotContinueText, reason);
}

std::string DamagedTapeLine(const TapeDocument& document) {
    return DamagedTapeLine(document.soundDamage ? document.soundDamage->reason : std::string());
}

}  // namespace brisalto
