// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

namespace brisalto {

// The face the listing pane asks for when "Use Zx Spectrum Font" is ticked.
inline const QString kSpeccyFont = QStringLiteral("Zx Spectrum");
// The Spectrum's characters built into the program (made from a ROM's character set).
inline const QString kBuiltInSpeccyFont = QStringLiteral("Brisalto Spectrum");
inline const QString kBuiltInSpeccyFontFile = QStringLiteral(":/fonts/BrisaltoSpectrum.ttf");

// Loads the built-in face and lets kSpeccyFont stand for it, unless a font of that name is
// installed: the user's own then wins. Needs the application object.
void AddSpeccyFont();

}  // namespace brisalto
