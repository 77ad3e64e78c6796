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
    return decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

}  // namespace brisalto
