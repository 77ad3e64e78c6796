// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

#include "ReadTapeBytes.h"
#include "TapeDocument.h"
#include "TapeLocation.h"

namespace brisalto {

// A tape as the console reads it. A tape read back from a recording is a damaged tape at its
// first damage (a block that broke off or fails its checksum, or the recording read only to a
// point): its whole blocks before the damage, as a tape file cut inside a block is, so that a
// script sees one exit status for every damaged input. Any other tape is as it was read.
TapeDocument ConsoleDocumentFromRead(const TapeLocation& location, ReadBytes read);
// The same, reading the tape at location.
TapeDocument ReadConsoleDocument(const TapeLocation& location);
// The same for a document already read.
TapeDocument EndAtSoundDamage(TapeDocument document);

// What a damaged tape is told with: the damaged tape's words, then, when it is known (a
// recording), what damaged it.
std::string DamagedTapeLine(const std::string& reason);
std::string DamagedTapeLine(const TapeDocument& document);

}  // namespace brisalto
