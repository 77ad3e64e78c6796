// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brisalto {

struct RowOfTape;

// The row menu's sound items. Each asks for a WAV file in the save dialog (nothing happens when
// it is cancelled), refuses the open tape's own file, and writes the file whole or not at all,
// with a progress dialog when it takes longer than a moment whose Cancel leaves no file. A
// damaged tape sounds up to its last whole block, and the damaged-tape message says so.
// Refusals and writing failures travel out as SaveError, reading and sound failures as the core
// raises them.
// The tape from the row's block to its end.
void SaveSoundFromHere(const RowOfTape& row);
// The whole tape.
void SaveTapeAsSound(const RowOfTape& row);

}  // namespace brisalto
