// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QAbstractTableModel>
#include <QColor>

#include <cstddef>
#include <memory>
#include <optional>
#include <unordered_map>
#include <vector>

#include "CatalogueObserver.h"
#include "FindScreen.h"
#include "HeldTape.h"

namespace brisalto {

class CatalogueTable;

// What the row indicator column shows for a row (the vertical header's kIndicatorRole).
enum class RowIndicator { None, Current, Open };

// The link between the catalogue table and the grid (the form's DataSource1). It owns nothing:
// it shows the table's rows, or one blank row while the table is empty, and passes the grid's
// moves on to the table's cursor.
//
// A scan runs inside a model reset: it empties the table anyway, and the views then lay out a
// tape of 200,000 blocks once instead of hearing of every row.
class CatalogueModel final : public QAbstractTableModel, private CatalogueObserver {
    Q_OBJECT

public:
    static constexpr int kIndicatorRole = Qt::UserRole + 1;
    static constexpr QRgb kPlayingColour = 0xFFFFD27F;  // a tape deck's amber light

    explicit CatalogueModel(CatalogueTable& table, QObject* parent = nullptr);
    ~CatalogueModel() override;

public:  // QAbstractTableModel API
    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

public:  // the grid's view of the table
    // Rows that hold catalogue data (the blank row of an empty table is not one).
    int DataRowCount() const;
    // The current row as the views know it, or -1.
    int CurrentRow() const;
    // Moves the table's cursor to row, clamped to the data rows; does nothing on an empty table.
    void MoveTo(int row);
    // Where the rows' tooltips take pictures from: the document the form holds, as held.
    void ReadPicturesFrom(HeldTape& tape) { tape_ = &tape; }
    // Marks row as the one the player sounds (-1: none): its cells get kPlayingColour behind
    // them, and the current row stays where it is. A new scan takes the mark away.
    void MarkPlaying(int row);
    int PlayingRow() const noexcept { return playing_; }
    // The screen row's block takes part in, as its tooltip shows it (found once per scan, as
    // first asked for); nullptr when none.
    const ScreenPlace* ScreenOf(const CatalogueRow& row) const;
    // Discards a row left open by a failed scan.
    void CancelOpenRow();
    // Around a scan: the views hear nothing in between, then take the table as it stands.
    void BeginScan();
    void EndScan();

signals:
    // The table's current row changed (-1: none); the grid follows it.
    void CurrentRowChanged(int row);

private:  // CatalogueObserver
    void TableReset() override;
    void RowAppended(std::size_t row) override;
    void RowChanged(std::size_t row) override;
    void RowRemoved(std::size_t row) override;
    void CurrentRowMoved(std::optional<std::size_t> row) override;

    QVariant ToolTip(int row) const;
    void RowsChanged(int first, int last);

    CatalogueTable& table_;
    HeldTape* tape_ = nullptr;
    int playing_ = -1;
    int shownRows_ = 1;  // the row count the views know: the table's rows, at least one
    bool scanning_ = false;
    // The tape's screens, found once for the rows' tooltips after a scan, as they are first asked
    // for; a row of a changed tape matches none.
    mutable std::optional<std::vector<ScreenPlace>> screens_;
    mutable std::shared_ptr<const TapeDocument> screensOf_;  // the document screens_ were found in
    // The rows' tooltips as first made, for the document toolTipsOf_; a changed row, a new scan
    // or another document drops them.
    mutable std::unordered_map<int, QVariant> toolTips_;
    mutable std::shared_ptr<const TapeDocument> toolTipsOf_;
};

}  // namespace brisalto
