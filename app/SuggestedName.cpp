// SPDX-License-Identifier: GPL-3.0-or-later
#include "SuggestedName.h"

#include <QFileInfo>

#include "CatalogueTable.h"
#include "TapeText.h"

namespace brisalto {

namespace {

constexpr std::uint8_t kHeaderFlag = 0x00;
constexpr std::int64_t kBytesDataTipo = 258;  // data after a Bytes header

// The header row that names row index, if any.
const CatalogueRow* NamingHeader(const CatalogueTable& table, std::size_t index) {
    const CatalogueRow& row = table.Row(index);
    if (row.Flag == kHeaderFlag) return &row;
    if (index == 0) return nullptr;
    const CatalogueRow& before = table.Row(index - 1);
    return before.Flag == kHeaderFlag ? &before : nullptr;
}

// Characters Windows refuses in a file name, and control characters, become '_'; spaces and
// dots at either end go, as Windows would drop them.
QString FileNamePart(const QString& text) {
    QString part = text;
    for (QChar& c : part) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F || QStringLiteral("<>:\"/\\|?*").contains(c))
            c = QLatin1Char('_');
    }
    while (part.startsWith(QLatin1Char(' ')) || part.startsWith(QLatin1Char('.')))
        part.remove(0, 1);
    while (part.endsWith(QLatin1Char(' ')) || part.endsWith(QLatin1Char('.'))) part.chop(1);
    return part;
}

QString TapeName(const TapeLocation& tape) {
    const std::string& file = tape.InArchive() ? tape.entry : tape.path;
    return QFileInfo(QString::fromStdString(file)).completeBaseName();
}

}  // namespace

QString SuggestedName(const CatalogueTable& table, std::size_t index, const TapeLocation& tape,
                      SaveKind kind) {
    const CatalogueRow* header = NamingHeader(table, index);
    QString name = header != nullptr ? FileNamePart(TapeText(header->Name.View())) : QString();
    if (name.isEmpty()) name = FileNamePart(TapeName(tape)) + QStringLiteral("-%1").arg(index + 1);

    switch (kind) {
        case SaveKind::Listing: return name + QStringLiteral(".bas.txt");
        case SaveKind::Screen: return name + QStringLiteral(".png");
        case SaveKind::Block: break;
    }
    const CatalogueRow& row = table.Row(index);
    if (row.Flag == kHeaderFlag) return name + QStringLiteral("-header.bin");
    if (header != nullptr && row.Tipo == kBytesDataTipo && header->Start) {
        return name + QStringLiteral("-%1.bin").arg(*header->Start);
    }
    return name + QStringLiteral(".bin");
}

}  // namespace brisalto
