// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeText.h"

#include <QStringDecoder>

namespace brisalto {

namespace {

QStringDecoder MakeDecoder() {
#ifdef _WIN32
    // Qt's system codec on Windows is the ANSI code page.
    return QStringDecoder(QStringConverter::System, QStringConverter::Flag::Stateless);
#else
    return QStringDecoder("windows-1252", QStringConverter::Flag::Stateless);
#endif
}

}  // namespace

QString TapeText(std::string_view bytes) {
    // Looking a code page up by name is costly; every caller is on the GUI thread.
    static QStringDecoder decoder = MakeDecoder();
    const QByteArrayView view(bytes.data(), static_cast<qsizetype>(bytes.size()));
    // A Qt built without ICU knows no Windows-1252; Latin-1 then differs only at 0x80..0x9F.
    if (!decoder.isValid()) return QString::fromLatin1(view);
    return decoder.decode(view);
}

}  // namespace brisalto
