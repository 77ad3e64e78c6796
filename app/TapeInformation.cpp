// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeInformation.h"

#include <QDir>
#include <QLocale>

#include "CatalogueTable.h"
#include "ChecksumSummary.h"
#include "DamagedTapeText.h"
#include "FailureText.h"
#include "ScanDetails.h"
#include "ScanTape.h"
#include "TapeArchive.h"
#include "TapeRows.h"
#include "TapeText.h"
#include "TzxTexts.h"
#include "TzxVersionText.h"

namespace brisalto {

namespace {

// "12,345", whatever the user's locale: the other texts are English too.
QString Count(std::uint64_t count) {
    return QLocale(QLocale::English, QLocale::UnitedStates)
        .toString(static_cast<qulonglong>(count));
}

// "1 header", "3 headers".
QString Counted(std::uint64_t count, const char* one, const char* many) {
    return Count(count) + QLatin1Char(' ') + QLatin1String(count == 1 ? one : many);
}

}  // namespace

QString TapeInformationText(const TapeDocument& document) {
    CatalogueTable rows;
    ScanResult result = ScanResult::Completed;
    // A read that failed partway (a stray byte after the last block) still sums up the blocks
    // before the failure, with the failure beside them.
    QString failed;
    try {
        result = ListRows(document, true, rows);
    } catch (const ArchiveError& failure) {
        failed = QString::fromStdString(FailureText(failure.what()));
    } catch (const std::exception& failure) {
        failed = TapeText(FailureText(failure.what()));
    }
    const ScanDetails& details = document.details;
    const TapeLocation& tape = document.location;
    const std::uint64_t size = document.Bytes().size();

    QStringList lines;
    lines << QStringLiteral("Path: %1")
                 .arg(QDir::toNativeSeparators(QString::fromStdString(tape.path)));
    if (tape.InArchive())
        lines << QStringLiteral("Entry: %1").arg(QString::fromStdString(tape.entry));
    lines << QStringLiteral("Size: %1").arg(Counted(size, "byte", "bytes"));
    if (result == ScanResult::Damaged) {
        lines << QString::fromStdString(DamagedTapeText(document, kCountedBeforeDamageText));
    }
    if (!failed.isEmpty()) {
        lines << QStringLiteral("Failed: %1 This is what comes before").arg(failed);
    }
    QString blocks =
        QStringLiteral("Blocks: %1, %2, %3 never listed")
            .arg(Counted(details.headers, "header", "headers"),
                 Count(details.data) + QStringLiteral(" data"), Count(details.neverListed));
    if (details.tzxVersion) {
        blocks += QStringLiteral(", %1 passed over")
                      .arg(Counted(details.tzxPassedOver, "TZX block", "TZX blocks"));
    }
    lines << blocks;
    lines << QStringLiteral("Checksums: %1").arg(QString::fromStdString(ChecksumSummary(rows)));
    if (details.tzxVersion) {
        lines << QStringLiteral("TZX version: %1")
                     .arg(QString::fromStdString(
                         TzxVersionText(details.tzxVersion->major, details.tzxVersion->minor)));
        const std::vector<std::string> texts = TzxTextLines(details.texts);
        if (!texts.empty()) lines << QString();
        for (const std::string& text : texts) lines << TapeText(text);
    }
    return lines.join(QLatin1Char('\n'));
}

}  // namespace brisalto
