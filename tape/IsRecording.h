// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace brisalto {

// The names sound recordings of tapes usually have: what libsndfile reads (WAV, AIFF, FLAC, Ogg)
// and the pulse files of emulators (CSW, PZX). Which files are recordings is decided by their
// content; these serve where only a name can be looked at (an archive's entries, a dialog's
// filter, a folder's files).
inline constexpr std::array<std::string_view, 7> kRecordingSuffixes = {
    ".wav", ".flac", ".ogg", ".csw", ".pzx", ".aif", ".aiff"};

// The first bytes of a CSW file and of a PZX file.
inline constexpr std::string_view kCswSignature{"Compressed Square Wave\x1a", 23};
inline constexpr std::string_view kPzxSignature = "PZXT";

// How many bytes from a file's start IsRecordingStart needs to see.
inline constexpr std::size_t kRecordingStartBytes = 24;

// Whether a file name ends in one of kRecordingSuffixes, in any case.
bool IsRecordingName(std::string_view name);

// Whether bytes (a file's first bytes, all of them when fewer than kRecordingStartBytes) begin as
// a sound recording does: "RIFF" or "RF64" with "WAVE", "FORM" with "AIFF" or "AIFC", "fLaC",
// "OggS", "Compressed Square Wave" and 0x1A, or "PZXT". Too few bytes are no recording.
bool IsRecordingStart(std::span<const std::uint8_t> bytes);

}  // namespace brisalto
