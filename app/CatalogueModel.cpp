// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueModel.h"

#include <QBrush>

#include <algorithm>
#include <climits>
#include <exception>
#include <utility>

#include "CatalogueTable.h"
#include "GridColumns.h"
#include "RowToolTip.h"
#include "TapeDocument.h"
#include "TapeText.h"

namespace brisalto {

namespace {

int ToInt(std::size_t count) {
    return static_cast<int>(std::min<std::size_t>(count, INT_MAX));
}

}  // namespace

CatalogueModel::CatalogueModel(CatalogueTable& table, QObject* parent)
    : QAbstractTableModel(parent), table_(table) {
    shownRows_ = std::max(1, ToInt(table_.RowCount()));
    table_.SetObserver(this);
}

CatalogueModel::~CatalogueModel() {
    table_.SetObserver(nullptr);
}

int CatalogueModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : shownRows_;
}

int CatalogueModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(kGridColumns.size());
}

QVariant CatalogueModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= DataRowCount() || index.column() >= columnCount()) {
        return {};
    }
    const CatalogueField field = kGridColumns[static_cast<std::size_t>(index.column())].field;
    switch (role) {
        case Qt::DisplayRole: {
            const CatalogueRow& row = table_.Row(static_cast<std::size_t>(index.row()));
            if (IsNull(row, field)) return {};
            if (IsStringField(field)) return TapeText(AsString(row, field));
            return QString::number(AsInteger(row, field));
        }
        case Qt::TextAlignmentRole:
            return QVariant::fromValue(
                Qt::Alignment(IsStringField(field) ? Qt::AlignLeft : Qt::AlignRight) |
                Qt::AlignVCenter);
        case Qt::ToolTipRole: return ToolTip(index.row());
        case Qt::BackgroundRole:
            if (index.row() == playing_) return QBrush(QColor::fromRgba(kPlayingColour));
            return {};
        default: return {};
    }
}

QVariant CatalogueModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation == Qt::Horizontal) {
        if (section < 0 || section >= columnCount()) return {};
        if (role == Qt::DisplayRole) {
            return QString::fromLatin1(kGridColumns[static_cast<std::size_t>(section)].title);
        }
        if (role == Qt::TextAlignmentRole) {
            return QVariant::fromValue(Qt::Alignment(Qt::AlignLeft | Qt::AlignVCenter));
        }
        return {};
    }
    if (role == kIndicatorRole) {
        RowIndicator indicator = RowIndicator::None;
        if (section == CurrentRow()) {
            indicator = table_.HasOpenRow() ? RowIndicator::Open : RowIndicator::Current;
        }
        return static_cast<int>(indicator);
    }
    // The indicator column carries no row numbers.
    if (role == Qt::DisplayRole) return QString();
    return {};
}

Qt::ItemFlags CatalogueModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return Qt::NoItemFlags;
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

int CatalogueModel::DataRowCount() const {
    return std::min(shownRows_, ToInt(table_.RowCount()));
}

int CatalogueModel::CurrentRow() const {
    const auto current = table_.CurrentIndex();
    if (!current || ToInt(*current) >= DataRowCount()) return -1;
    return ToInt(*current);
}

void CatalogueModel::MoveTo(int row) {
    const int rows = DataRowCount();
    if (rows == 0) return;
    table_.MoveTo(static_cast<std::size_t>(std::clamp(row, 0, rows - 1)));
}

void CatalogueModel::MarkPlaying(int row) {
    if (row == playing_) return;
    const int was = playing_;
    playing_ = row >= 0 && row < DataRowCount() ? row : -1;
    if (was >= 0 && was < DataRowCount()) RowsChanged(was, was);
    if (playing_ >= 0) RowsChanged(playing_, playing_);
}

void CatalogueModel::CancelOpenRow() {
    table_.Cancel();
}

void CatalogueModel::BeginScan() {
    beginResetModel();
    screens_.reset();
    toolTips_.clear();
    playing_ = -1;
    scanning_ = true;
}

void CatalogueModel::EndScan() {
    scanning_ = false;
    shownRows_ = std::max(1, ToInt(table_.RowCount()));
    endResetModel();
    emit CurrentRowChanged(CurrentRow());
}

void CatalogueModel::TableReset() {
    if (scanning_) return;
    beginResetModel();
    toolTips_.clear();
    playing_ = -1;
    shownRows_ = std::max(1, ToInt(table_.RowCount()));
    endResetModel();
}

void CatalogueModel::RowAppended(std::size_t row) {
    if (scanning_) return;
    const int appended = ToInt(row);
    if (appended < shownRows_) {  // the blank row of an empty table becomes the first row
        RowsChanged(appended, appended);
        return;
    }
    beginInsertRows(QModelIndex(), shownRows_, appended);
    shownRows_ = appended + 1;
    endInsertRows();
}

void CatalogueModel::RowChanged(std::size_t row) {
    toolTips_.erase(ToInt(row));
    if (!scanning_) RowsChanged(ToInt(row), ToInt(row));
}

void CatalogueModel::RowRemoved(std::size_t row) {
    toolTips_.erase(ToInt(row));
    if (scanning_) return;
    const int removed = ToInt(row);
    if (removed == 0) {  // the last row goes: the blank row takes its place
        RowsChanged(0, 0);
        return;
    }
    beginRemoveRows(QModelIndex(), removed, removed);
    shownRows_ = removed;
    endRemoveRows();
}

void CatalogueModel::CurrentRowMoved(std::optional<std::size_t>) {
    if (!scanning_) emit CurrentRowChanged(CurrentRow());
}

QVariant CatalogueModel::ToolTip(int row) const {
    // A row left open by a failed scan holds only part of what its block said.
    if (table_.HasOpenRow() && row == CurrentRow()) return {};
    // Made once per row of a document: a screen's picture is encoded only on the first hover.
    std::shared_ptr<const TapeDocument> tape = tape_ != nullptr ? tape_->Held() : nullptr;
    if (toolTipsOf_ != tape) {
        toolTips_.clear();
        toolTipsOf_ = std::move(tape);
    }
    const auto made = toolTips_.find(row);
    if (made != toolTips_.end()) return made->second;
    const CatalogueRow& tableRow = table_.Row(static_cast<std::size_t>(row));
    const ScreenPlace* screen = ScreenOf(tableRow);
    const QVariant tip =
        RowToolTip(tableRow, screen != nullptr ? screensOf_.get() : nullptr, screen);
    toolTips_.emplace(row, tip);
    return tip;
}

const ScreenPlace* CatalogueModel::ScreenOf(const CatalogueRow& row) const {
    if (!CouldHoldScreen(row.Length)) return nullptr;  // no document looked at for most rows
    // The document held, its file not looked at: a tape changed since is read again at the
    // window's moments for it (an action, the window becoming active), never from a view's paint.
    std::shared_ptr<const TapeDocument> tape = tape_ != nullptr ? tape_->Held() : nullptr;
    if (!screens_ || screensOf_ != tape) {
        screens_ = tape ? FindScreens(tape->blocks) : std::vector<ScreenPlace>();
        screensOf_ = std::move(tape);
    }
    return ScreenOfRow(*screens_, row);
}

void CatalogueModel::RowsChanged(int first, int last) {
    emit dataChanged(index(first, 0), index(last, columnCount() - 1));
    emit headerDataChanged(Qt::Vertical, first, last);
}

}  // namespace brisalto
