// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QImage>
#include <QString>

#include "CatalogueRow.h"
#include "DecodeScreen.h"
#include "FindScreen.h"
#include "TapeLocation.h"

namespace brisalto {

// A decoded screen as a picture at scale times its size, each Spectrum pixel a sharp square.
QImage ScreenImage(const ScreenPixels& pixels, int scale);

// The tooltip of a complete catalogue row, as rich text: what the block holds in words and, when
// screen is given (the screen its block holds or is half of), the picture read now from the tape
// at tapePath. A screen that can no longer be read (the tape deleted or changed) shows no
// picture; nothing here fails.
QString RowToolTip(const CatalogueRow& row, const TapeLocation& tape, const ScreenPlace* screen);

}  // namespace brisalto
