// SPDX-License-Identifier: GPL-3.0-or-later
#include "SaveActions.h"

#include <QBuffer>
#include <QClipboard>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QImage>
#include <QSaveFile>

#include <span>
#include <vector>

#include "CatalogueTable.h"
#include "DecodeScreen.h"
#include "FormDialogs.h"
#include "LineSink.h"
#include "ListBasicProgram.h"
#include "RowToolTip.h"
#include "SuggestedName.h"
#include "TapeFile.h"
#include "TapeText.h"

namespace brisalto {

namespace {

// The pane's lines, gathered as MemoLines gathers them.
class ListingLines final : public LineSink {
public:
    void AddLine(std::string_view line) override {
        if (hasLines_) text_ += QLatin1Char('\n');
        text_ += TapeText(line);
        hasLines_ = true;
    }
    const QString& Text() const { return text_; }

private:
    QString text_;
    bool hasLines_ = false;
};

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
        .fileName = SuggestedName(row.table, row.index, row.tape, kind),
    };
    std::optional<QString> chosen = row.dialogs.ExecuteSaveDialog(row.owner, settings);
    // Refused before anything is read for it.
    if (chosen) RefuseTheOpenTape(*chosen, row.tape);
    return chosen;
}

// The block's body (flag, data, checksum) as the tape holds it now; a tape whose bytes there
// no longer match the scan's checksum has changed since it was opened.
std::vector<std::uint8_t> BlockBody(const RowOfTape& row) {
    const CatalogueRow& block = row.table.Row(row.index);
    std::vector<std::uint8_t> body(block.Length);
    TapeFile file(row.tape);
    file.Seek(block.Position);
    file.ReadExact(body);
    file.Close();
    std::uint8_t computed = 0;
    for (std::size_t i = 0; i + 1 < body.size(); ++i) computed ^= body[i];
    if (body.empty() || !block.Checksum || block.Checksum->stored != body.back() ||
        block.Checksum->computed != computed) {
        throw SaveError(QStringLiteral("The tape has changed since it was opened; open it again."));
    }
    return body;
}

// The body without its flag byte and its checksum.
QByteArray DataOf(const std::vector<std::uint8_t>& body) {
    if (body.size() < 2) return {};
    return QByteArray(reinterpret_cast<const char*>(body.data() + 1),
                      static_cast<qsizetype>(body.size() - 2));
}

bool EndsWith(const QString& name, const char* suffix) {
    return name.endsWith(QLatin1String(suffix), Qt::CaseInsensitive);
}

}  // namespace

QString ListingText(const TapeLocation& tape, const CatalogueTable& table, std::size_t index) {
    const CatalogueRow& row = table.Row(index);
    ListingLines lines;
    ListBasicProgram(tape, row.Position, row.Par1.value_or(0), lines);
    return lines.Text();
}

void CopyListing(const RowOfTape& row) {
    QGuiApplication::clipboard()->setText(ListingText(row.tape, row.table, row.index));
}

void SaveListing(const RowOfTape& row) {
    const std::optional<QString> target =
        AskForFile(row, QStringLiteral("Save Listing As"),
                   {QStringLiteral("Text Files (*.txt)"), kAllFilesFilter}, SaveKind::Listing);
    if (!target) return;
    QString text = ListingText(row.tape, row.table, row.index);
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
    const QByteArray screen = DataOf(BlockBody(row));
    if (static_cast<std::size_t>(screen.size()) != kScreenBytes) {
        throw SaveError(QStringLiteral("The tape has changed since it was opened; open it again."));
    }
    if (EndsWith(*target, ".scr")) {
        WriteWholeFile(*target, row.tape, screen);
        return;
    }
    ScreenPixels pixels;
    DecodeScreen(std::span<const std::uint8_t, kScreenBytes>(
                     reinterpret_cast<const std::uint8_t*>(screen.constData()), kScreenBytes),
                 pixels);
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    ScreenImage(pixels, 1).save(&buffer, "PNG");
    WriteWholeFile(*target, row.tape, png);
}

void SaveBlock(const RowOfTape& row) {
    const std::optional<QString> target =
        AskForFile(row, QStringLiteral("Save Block As"),
                   {QStringLiteral("Binary Files (*.bin)"),
                    QStringLiteral("Spectrum Tape Files (*.tap)"), kAllFilesFilter},
                   SaveKind::Block);
    if (!target) return;
    const std::vector<std::uint8_t> body = BlockBody(row);
    if (!EndsWith(*target, ".tap")) {
        WriteWholeFile(*target, row.tape, DataOf(body));
        return;
    }
    // A TAP block: the body's length, low byte first, then the body. A TZX turbo or pure data
    // block can hold more than that length can count.
    if (body.size() > 0xFFFF) {
        throw SaveError(QStringLiteral("The block is %1 bytes long, more than a TAP file can hold "
                                       "in one block (65,535 bytes).")
                            .arg(body.size()));
    }
    QByteArray tap;
    tap.append(static_cast<char>(body.size() & 0xFF));
    tap.append(static_cast<char>(body.size() >> 8));
    tap.append(reinterpret_cast<const char*>(body.data()), static_cast<qsizetype>(body.size()));
    WriteWholeFile(*target, row.tape, tap);
}

void RefuseTheOpenTape(const QString& target, const TapeLocation& tape) {
    // The same file by whatever path: links and ".." resolved (for an archive, its own file).
    const QString open = QFileInfo(QString::fromStdString(tape.path)).canonicalFilePath();
    const QString chosen = QFileInfo(target).canonicalFilePath();
    if (!chosen.isEmpty() && chosen == open) {
        throw SaveError(QStringLiteral("%1 is the tape that is open; it cannot be written over. "
                                       "Choose another name.")
                            .arg(Native(target)));
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
