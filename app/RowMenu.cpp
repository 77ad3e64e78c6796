// SPDX-License-Identifier: GPL-3.0-or-later
#include "RowMenu.h"

#include <QAction>
#include <QMenu>

#include "ArchiveSteps.h"
#include "BlockView.h"
#include "BlockViewChoice.h"
#include "CatalogueModel.h"
#include "CatalogueTable.h"
#include "DialogKeys.h"
#include "FailureText.h"
#include "FormDialogs.h"
#include "SaveActions.h"
#ifdef BRISALTO_HAS_PLAYER
#include "PlayerWindow.h"
#endif
#ifdef BRISALTO_HAS_SOUND
#include "SoundActions.h"
#endif
#include "TapeInformation.h"

namespace brisalto {

namespace {

QString Caption(RowItem item) {
    switch (item) {
        case RowItem::CopyListing: return QStringLiteral("&Copy Listing");
        case RowItem::SaveListing: return QStringLiteral("Save &Listing As\u2026");
        case RowItem::SaveScreen: return QStringLiteral("Save &Screen As\u2026");
        case RowItem::SaveBlock: return QStringLiteral("Save &Block As\u2026");
        case RowItem::SaveSoundFromHere: return QStringLiteral("Save S&ound From Here\u2026");
        case RowItem::SaveTapeAsSound: return QStringLiteral("Save &Tape As Sound\u2026");
        case RowItem::PlayFromHere: return QStringLiteral("&Play From Here");
        case RowItem::ViewBlock: return QStringLiteral("&View Block\u2026");
        case RowItem::SaveTapeAs: return QStringLiteral("Save Tape &As\u2026");
        case RowItem::TapeInformation: return QStringLiteral("Tape &Information\u2026");
        case RowItem::PreviousArchiveTape:
            return QStringLiteral("Pr&evious Tape in Archive\t") +
                   kPreviousArchiveTapeKeys.toString(QKeySequence::NativeText);
        case RowItem::NextArchiveTape:
            return QStringLiteral("&Next Tape in Archive\t") +
                   kNextArchiveTapeKeys.toString(QKeySequence::NativeText);
        case RowItem::RecordFromSoundInput: return QStringLiteral("&Record From Sound Input\u2026");
    }
    return {};
}

void Do(RowItem item, const RowOfTape& row, const std::shared_ptr<const TapeDocument>& document,
        HeldTape& tape, [[maybe_unused]] CatalogueModel& model) {
    switch (item) {
        case RowItem::CopyListing: CopyListing(row); return;
        case RowItem::SaveListing: SaveListing(row); return;
        case RowItem::SaveScreen: SaveScreen(row); return;
        case RowItem::SaveBlock: SaveBlock(row); return;
#ifdef BRISALTO_HAS_SOUND
        case RowItem::SaveSoundFromHere: SaveSoundFromHere(row); return;
        case RowItem::SaveTapeAsSound: SaveTapeAsSound(row); return;
#else
        case RowItem::SaveSoundFromHere:
        case RowItem::SaveTapeAsSound: return;
#endif
#ifdef BRISALTO_HAS_PLAYER
        case RowItem::PlayFromHere: PlayFromHere(row, model); return;
#else
        case RowItem::PlayFromHere: return;
#endif
        case RowItem::ViewBlock: OpenBlockView(row.owner, document, row.table, row.index); return;
        case RowItem::SaveTapeAs:
            if (SaveTapeAs(row)) tape.MarkSaved();
            return;
        case RowItem::TapeInformation:
            row.dialogs.ShowTapeInformation(row.owner, TapeInformationText(row.document));
            return;
        case RowItem::PreviousArchiveTape:
        case RowItem::NextArchiveTape:
        case RowItem::RecordFromSoundInput: return;  // need no document: see RunRowMenu
    }
}

}  // namespace

std::vector<RowItem> RowItems(const CatalogueRow* row, bool program, bool tapeOpen,
                              bool holdsScreen, const ArchiveNeighbours& neighbours) {
    std::vector<RowItem> items;
    if (row != nullptr) {
        if (program) {
            items.push_back(RowItem::CopyListing);
            items.push_back(RowItem::SaveListing);
        }
        if (holdsScreen) items.push_back(RowItem::SaveScreen);
        if (row->Checksum) items.push_back(RowItem::SaveBlock);
#ifdef BRISALTO_HAS_SOUND
        if (row->Checksum) {
            items.push_back(RowItem::SaveSoundFromHere);
            items.push_back(RowItem::SaveTapeAsSound);
        }
#endif
#ifdef BRISALTO_HAS_PLAYER
        if (row->Checksum) items.push_back(RowItem::PlayFromHere);
#endif
        items.push_back(RowItem::ViewBlock);
    }
    if (tapeOpen) {
        items.push_back(RowItem::SaveTapeAs);
        items.push_back(RowItem::TapeInformation);
    }
    if (neighbours.previous) items.push_back(RowItem::PreviousArchiveTape);
    if (neighbours.next) items.push_back(RowItem::NextArchiveTape);
#ifdef BRISALTO_HAS_RECORDER
    items.push_back(RowItem::RecordFromSoundInput);
#endif
    return items;
}

void RunRowMenu(QWidget& owner, FormDialogs& dialogs, HeldTape& tape, const CatalogueTable& table,
                CatalogueModel& model, const QPoint& globalPos, const std::function<void()>& record,
                const ArchiveNeighbours& neighbours) {
    const std::optional<std::size_t> index = table.CurrentIndex();
    const CatalogueRow* row = index && !table.HasOpenRow() ? &table.Row(*index) : nullptr;
    const ScreenPlace* screen = row != nullptr ? model.ScreenOf(*row) : nullptr;
    const std::vector<RowItem> items =
        RowItems(row, row != nullptr && IsProgram(table, *index), !tape.Location().path.empty(),
                 screen != nullptr, neighbours);
    if (items.empty()) return;

    QMenu menu(&owner);
    menu.setObjectName(QStringLiteral("RowMenu"));
    for (const RowItem item : items) {
        menu.addAction(Caption(item))->setData(static_cast<int>(item));
    }
    const QAction* chosen = ExecKeepingItsKeys(menu, globalPos);
    if (chosen == nullptr) return;
    const auto item = static_cast<RowItem>(chosen->data().toInt());
    if (item == RowItem::RecordFromSoundInput) {
        if (record) record();
        return;
    }
    if (item == RowItem::PreviousArchiveTape || item == RowItem::NextArchiveTape) {
        if (neighbours.step) neighbours.step(item == RowItem::NextArchiveTape ? 1 : -1);
        return;
    }
    try {
        // The document as it is now: read again only when its file changed since.
        const std::shared_ptr<const TapeDocument> document = tape.Current();
        if (!document) return;
        Do(item, {owner, dialogs, tape.Location(), *document, table, index.value_or(0), screen},
           document, tape, model);
    } catch (const SaveError& failure) {
        // Its message names a file, in UTF-8 rather than the tape's code page.
        dialogs.ShowFailure(QString::fromUtf8(FailureText(failure.what())));
    }
}

}  // namespace brisalto
