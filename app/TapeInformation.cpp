#include "TapeInformation.h"

#include <QDir>
#include <QLocale>

#include <limits>

#include "CatalogueTable.h"
#include "ScanDetails.h"
#include "ScanTape.h"
#include "TapeFile.h"

namespace brisalto {

namespace {

// "12,345", whatever the user's locale: the other texts are English too.
QString Count(std::uint64_t count) {
    return QLocale(QLocale::English, QLocale::UnitedStates)
        .toString(static_cast<qulonglong>(count));
}

std::uint64_t TapeSize(const TapeLocation& tape) {
    TapeFile file(tape);
    const std::uint64_t size = file.Skip(std::numeric_limits<std::uint64_t>::max());
    file.Close();
    return size;
}

}  // namespace

QString TapeInformationText(const TapeLocation& tape) {
    CatalogueTable catalogue;
    ScanDetails details;
    const ScanResult result = ScanTape(tape, true, catalogue, &details);
    QStringList lines;
    lines << QStringLiteral("Path: %1")
                 .arg(QDir::toNativeSeparators(QString::fromStdString(tape.path)));
    if (tape.InArchive())
        lines << QStringLiteral("Entry: %1").arg(QString::fromStdString(tape.entry));
    lines << QStringLiteral("Size: %1 bytes").arg(Count(TapeSize(tape)));
    if (result == ScanResult::Damaged)
        lines << QStringLiteral("Damaged: the tape ends inside a block");
    return lines.join(QLatin1Char('\n'));
}

}  // namespace brisalto
