// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <stdexcept>
#include <string>

#include "TapeDocument.h"
#include "TapeLocation.h"

class QWidget;

namespace brisalto {

class CatalogueTable;
class FormDialogs;
struct ScreenPlace;

// A save refused or failed; what() is the whole message, UTF-8, naming the file.
class SaveError : public std::runtime_error {
public:
    explicit SaveError(const QString& message)
        : std::runtime_error(message.toUtf8().toStdString()) {}
};

// One complete row of the open tape, as the row menu acts on it.
struct RowOfTape {
    QWidget& owner;
    FormDialogs& dialogs;
    const TapeLocation& tape;
    const TapeDocument& document;  // the tape read, which every save is made from
    const CatalogueTable& table;
    std::size_t index;
    const ScreenPlace* screen = nullptr;  // the screen its block takes part in, if any
};

// The lines the pane shows for a program's data row, from the tape document, one '\n' between
// lines. Reading failures travel out as the lister raises them.
QString ListingText(const TapeDocument& tape, const CatalogueTable& table, std::size_t index);

// The row menu's items. Each save asks for a file in the save dialog (nothing happens when it is
// cancelled), refuses the open tape's own file, and writes the file whole or not at all;
// refusals and writing failures travel out as SaveError, reading failures as the core raises
// them.
void CopyListing(const RowOfTape& row);
// The listing as UTF-8 text, each line ended by '\n'.
void SaveListing(const RowOfTape& row);
// A PNG of the screen at its own size; the 6,912 bytes themselves to a name ending in .scr. The
// screen is row.screen where given (read from its block or blocks), else the row's own block.
void SaveScreen(const RowOfTape& row);
// The block's data without flag and checksum; as a one-block TAP file (length, flag, data,
// checksum) to a name ending in .tap.
void SaveBlock(const RowOfTape& row);

// The whole tape, from its document, as a TZX or TAP file by the name's suffix (the other format
// than the tape's when it has neither); what a TAP cannot hold, and the damage of a damaged tape
// (whose whole blocks are saved), shown in a note. True once the file is written; false when the
// dialog was cancelled.
bool SaveTapeAs(const RowOfTape& row);

// Fails with SaveError when target is the file that tape is read from.
void RefuseTheOpenTape(const QString& target, const TapeLocation& tape);
// Writes contents to target whole (through a file written aside and then renamed over it), unless
// target is the file that tape is read from.
void WriteWholeFile(const QString& target, const TapeLocation& tape, const QByteArray& contents);

}  // namespace brisalto
