// SPDX-License-Identifier: GPL-3.0-or-later
#include "IsRecording.h"

#include <algorithm>
#include <cctype>

namespace brisalto {

namespace {

bool At(std::span<const std::uint8_t> bytes, std::size_t offset, std::string_view text) {
    return bytes.size() >= offset + text.size() &&
           std::equal(text.begin(), text.end(), bytes.begin() + std::ptrdiff_t(offset),
                      [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; });
}

}  // namespace

bool IsRecordingName(std::string_view name) {
    return std::any_of(
        kRecordingSuffixes.begin(), kRecordingSuffixes.end(), [name](std::string_view suffix) {
            return name.size() >= suffix.size() &&
                   std::equal(suffix.begin(), suffix.end(),
                              name.end() - std::ptrdiff_t(suffix.size()), [](char a, char b) {
                                  return a == std::tolower(static_cast<unsigned char>(b));
                              });
        });
}

bool IsRecordingStart(std::span<const std::uint8_t> bytes) {
    // A chunked file: its kind four bytes after the chunk's length.
    if ((At(bytes, 0, "RIFF") || At(bytes, 0, "RF64")) && At(bytes, 8, "WAVE")) return true;
    if (At(bytes, 0, "FORM") && (At(bytes, 8, "AIFF") || At(bytes, 8, "AIFC"))) return true;
    return At(bytes, 0, "fLaC") || At(bytes, 0, "OggS") || At(bytes, 0, kPzxSignature) ||
           At(bytes, 0, kCswSignature);
}

}  // namespace brisalto
