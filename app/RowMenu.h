// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <functional>
#include <vector>

#include "HeldTape.h"

class QPoint;
class QWidget;

namespace brisalto {

class CatalogueModel;
class CatalogueTable;
class FormDialogs;
struct CatalogueRow;

// The items of the grid's row menu, in the order it shows them.
enum class RowItem {
    CopyListing,
    SaveListing,
    SaveScreen,
    SaveBlock,
    SaveSoundFromHere,
    SaveTapeAsSound,
    PlayFromHere,
    ViewBlock,
    SaveTapeAs,
    TapeInformation,
    PreviousArchiveTape,
    NextArchiveTape,
    RecordFromSoundInput
};

// Whether the open tape has a neighbour in its archive on either side, and what opens one:
// step(+1) the next tape, step(-1) the previous.
struct ArchiveNeighbours {
    bool previous = false;
    bool next = false;
    std::function<void(int)> step;
};

// The items that apply to row: the listing's for a program (program: see IsProgram), the
// screen's for a row whose block takes part in a screen (holdsScreen, as FindScreen finds it: a
// block of a screen's bytes, a turbo block under flag 0, either half of a split screen), the
// block's for any complete row (and, where the sound is built, the sound from it and of the whole
// tape, and where the player is built, playing it from there); View Block for every row; Save Tape
// As and Tape Information whenever a tape is open; the previous and the next tape of the open
// archive where there is one (neighbours); and, where the recorder is built, Record From Sound
// Input always. row is nullptr for the blank row of an empty grid and for a row left open.
std::vector<RowItem> RowItems(const CatalogueRow* row, bool program, bool tapeOpen,
                              bool holdsScreen = false, const ArchiveNeighbours& neighbours = {});

// Shows the menu of table's current row at globalPos (nothing when no item applies) and does
// what the user chooses, on the tape at tape (no path: none open). A save refused or failed goes
// to the failure display; a reading failure travels out to the caller's handler. The player
// marks the row it sounds through model, which shows table. Record From Sound Input calls
// record, whatever tape is open; the archive's items call neighbours.step.
void RunRowMenu(QWidget& owner, FormDialogs& dialogs, HeldTape& tape, const CatalogueTable& table,
                CatalogueModel& model, const QPoint& globalPos,
                const std::function<void()>& record = {}, const ArchiveNeighbours& neighbours = {});

}  // namespace brisalto
