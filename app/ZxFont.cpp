// SPDX-License-Identifier: GPL-3.0-or-later
#include "ZxFont.h"

#include <QFont>
#include <QFontDatabase>

// Outside any namespace, as the macro wants: links the font's resource in from the library.
static void InitSpeccyFontResource() {
    Q_INIT_RESOURCE(zx_font);
}

namespace brisalto {

void AddSpeccyFont() {
    InitSpeccyFontResource();
    QFontDatabase::addApplicationFont(kBuiltInSpeccyFontFile);
    if (!QFontDatabase::hasFamily(kSpeccyFont)) {
        QFont::insertSubstitution(kSpeccyFont, kBuiltInSpeccyFont);
    }
}

}  // namespace brisalto
