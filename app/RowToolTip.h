// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

#include "CatalogueRow.h"
#include "DecodeScreen.h"
#include "FindScreen.h"
#include "TapeDocument.h"

namespace brisalto {

// A decoded screen as a picture at scale times its size, each Spectrum pixel a sharp square.
QImage ScreenImage(const ScreenPixels& pixels, int scale);

// The tooltip of a complete catalogue row, as rich text: what the block holds in words and, when
// screen is given (the screen its block holds or is half of), the picture from the tape document
// it was found in. A screen whose blocks are not in tape shows no picture; nothing here fails.
QString RowToolTip(const CatalogueRow& row, const TapeDocument* tape, const ScreenPlace* screen);

}  // namespace brisalto
