// SPDX-License-Identifier: GPL-3.0-or-later
#include "SaveActions.h"

#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSaveFile>

#include <array>
#include <span>
#include <vector>

#include "BlockBytes.h"
#include "CatalogueTable.h"
#include "ConvertTape.h"
#include "DamagedTapeText.h"
#include "DecodeScreen.h"
#include "FindScreen.h"
#include "FormDialogs.h"
#include "IsTheOpenTape.h"
#include "LeftOutText.h"
#include "ListBasicProgram.h"
#include "MemoLines.h"
#include "ScreenPng.h"
#include "SuggestedName.h"
#include "TapeText.h"

namespace brisalto {

namespace {

QString Native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

// The file chosen in the save dialog, opening in the tape's folder; nothing when cancelled.
std::optional<QString> AskForFile(const RowOfTape& row, const QString& caption,
                                  const QStringList& filters, SaveKind kind) {
    const SaveDialogSettings settings{
        .caption = caption,
        .filters = filters,
        .folder = QFileInfo(QString::fromStdString(row.tape.path)).absolutePath(),
        .fileName = QString::fromStdString(SuggestedName(row.table, row.index, row.tape, kind)),
    };
    std::optional<QString> chosen = row.dialogs.ExecuteSaveDialog(row.owner, settings);
    // Refused before anything is read for it.
    if (chosen) RefuseTheOpenTape(*chosen, row.tape);
    return chosen;
}

// The block's body (flag, data, checksum) as the tape document holds it.
std::vector<std::uint8_t> ReadRowBody(const RowOfTape& row) {
    try {
        return BodyAt(row.document, row.table.Row(row.index));
    } catch (const TapeChangedError& changed) {
        throw SaveError(QString::fromUtf8(changed.what()));
    }
}

QByteArray AsBytes(const std::vector<std::uint8_t>& bytes) {
    return QByteArray(reinterpret_cast<const char*>(bytes.data()),
                      static_cast<qsizetype>(bytes.size()));
}

bool EndsWith(const QString& name, const char* suffix) {
    return name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

}  // namespace

QString ListingText(const TapeDocument& tape, const CatalogueTable& table, std::size_t index) {
    const CatalogueRow& row = table.Row(index);
    ListingLines lines;
    ListBasicProgram(tape, row.Position, row.Par1.value_or(0), lines);
    return lines.Text();
}

void CopyListing(const RowOfTape& row) {
    QGuiApplication::clipboard()->setText(ListingText(row.document, row.table, row.index));
}

void SaveListing(const RowOfTape& row) {
    const std::optional<QString> target =
        AskForFile(row, QStringLiteral("Save Listing As"),
                   {QStringLiteral("Text Files (*.txt)"), kAllFilesFilter}, SaveKind::Listing);
    if (!target) return;
    QString text = ListingText(row.document, row.table, row.index);
    if (!text.isEmpty()) text += QLatin1Char('\n');
    WriteWholeFile(*target, row.tape, text.toUtf8());
}

void SaveScreen(const RowOfTape& row) {
    const std::optional<QString> target =
        AskForFile(row, QStringLiteral("Save Screen As"),
                   {QStringLiteral("PNG Images (*.png)"),
                    QStringLiteral("Spectrum Screens (*.scr)"), kAllFilesFilter},
                   SaveKind::Screen);
    if (!target) return;
    // The menu offers this item only on a row that takes part in a screen.
    if (row.screen == nullptr) throw SaveError(QString::fromUtf8(TapeChangedError().what()));
    std::vector<std::uint8_t> screen;
    try {
        const std::array<std::uint8_t, kScreenBytes> bytes =
            ReadScreenBytes(row.document, *row.screen);
        screen.assign(bytes.begin(), bytes.end());
    } catch (const TapeChangedError& failure) {
        throw SaveError(QString::fromUtf8(failure.what()));
    }
    if (EndsWith(*target, ".scr")) {
        WriteWholeFile(*target, row.tape, AsBytes(screen));
        return;
    }
    ScreenPixels pixels;
    DecodeScreen(std::span<const std::uint8_t, kScreenBytes>(screen.data(), kScreenBytes), pixels);
    WriteWholeFile(*target, row.tape, AsBytes(ScreenPng(pixels, kScreenWidth, kScreenHeight)));
}

void SaveBlock(const RowOfTape& row) {
    const std::optional<QString> target =
        AskForFile(row, QStringLiteral("Save Block As"),
                   {QStringLiteral("Binary Files (*.bin)"),
                    QStringLiteral("Spectrum Tape Files (*.tap)"), kAllFilesFilter},
                   SaveKind::Block);
    if (!target) return;
    const std::vector<std::uint8_t> body = ReadRowBody(row);
    if (!EndsWith(*target, ".tap")) {
        WriteWholeFile(*target, row.tape, AsBytes(BlockData(body)));
        return;
    }
    std::vector<std::uint8_t> tap;
    try {
        tap = OneBlockTap(body);
    } catch (const std::length_error& tooLong) {
        throw SaveError(QString::fromUtf8(tooLong.what()));
    }
    WriteWholeFile(*target, row.tape, AsBytes(tap));
}

bool SaveTapeAs(const RowOfTape& row) {
    const bool toTzx = !row.document.tzx;
    const QString tzxFilter = QStringLiteral("TZX Tapes (*.tzx)");
    const QString tapFilter = QStringLiteral("TAP Tapes (*.tap)");
    const SaveDialogSettings settings{
        .caption = QStringLiteral("Save Tape As"),
        .filters = toTzx ? QStringList{tzxFilter, tapFilter} : QStringList{tapFilter, tzxFilter},
        .folder = QFileInfo(QString::fromStdString(row.tape.path)).absolutePath(),
        .fileName = QString::fromStdString(SuggestedTapeName(row.tape, toTzx ? ".tzx" : ".tap")),
    };
    const std::optional<QString> target = row.dialogs.ExecuteSaveDialog(row.owner, settings);
    if (!target) return false;
    RefuseTheOpenTape(*target, row.tape);
    const TapeFormat format = EndsWith(*target, ".tzx")   ? TapeFormat::Tzx
                              : EndsWith(*target, ".tap") ? TapeFormat::Tap
                              : toTzx                     ? TapeFormat::Tzx
                                                          : TapeFormat::Tap;
    const ConvertedTape converted = ConvertTape(row.document, format);
    WriteWholeFile(*target, row.tape, AsBytes(converted.bytes));
    QString note = QString::fromStdString(LeftOutSentence(converted.leftOut));
    if (converted.damaged) {
        if (!note.isEmpty()) note += QStringLiteral("\n\n");
        note += QString::fromStdString(DamagedTapeText(row.document, kSavedBeforeDamageText));
    }
    if (!note.isEmpty()) row.dialogs.ShowNote(note);
    return true;
}

void RefuseTheOpenTape(const QString& target, const TapeLocation& tape) {
    if (IsTheOpenTape(target.toStdString(), tape.path)) {
        throw SaveError(QStringLiteral("%1 %2. Choose another name.")
                            .arg(Native(target), QString::fromUtf8(kOverTheOpenTapeText)));
    }
}

void WriteWholeFile(const QString& target, const TapeLocation& tape, const QByteArray& contents) {
    RefuseTheOpenTape(target, tape);
    QSaveFile file(target);
    if (!file.open(QIODevice::WriteOnly) || file.write(contents) != contents.size() ||
        !file.commit()) {
        throw SaveError(
            QStringLiteral("Cannot save %1: %2").arg(Native(target), file.errorString()));
    }
}

}  // namespace brisalto
