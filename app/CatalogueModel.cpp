#include "CatalogueModel.h"

#include <algorithm>
#include <climits>

#include "CatalogueTable.h"
#include "GridColumns.h"
#include "RowToolTip.h"
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

void CatalogueModel::CancelOpenRow() {
    table_.Cancel();
}

void CatalogueModel::Flush() {
    appending_ = false;
    const int target = std::max(1, ToInt(table_.RowCount()));
    if (target > shownRows_) {
        beginInsertRows(QModelIndex(), shownRows_, target - 1);
        shownRows_ = target;
        endInsertRows();
    } else if (target < shownRows_) {
        beginRemoveRows(QModelIndex(), target, shownRows_ - 1);
        shownRows_ = target;
        endRemoveRows();
    }
    const int lastStale = std::min(lastStale_, shownRows_ - 1);
    if (firstStale_ >= 0 && firstStale_ <= lastStale) {
        emit dataChanged(index(firstStale_, 0), index(lastStale, columnCount() - 1));
        emit headerDataChanged(Qt::Vertical, firstStale_, lastStale);
    }
    firstStale_ = lastStale_ = -1;
    if (currentMoved_) {
        currentMoved_ = false;
        emit CurrentRowChanged(CurrentRow());
    }
}

void CatalogueModel::TableReset() {
    beginResetModel();
    shownRows_ = std::max(1, ToInt(table_.RowCount()));
    firstStale_ = lastStale_ = -1;
    endResetModel();
    currentMoved_ = true;
    ChangeNow();
}

void CatalogueModel::RowAppended(std::size_t row) {
    MarkStale(ToInt(row));
    ChangeNow();
}

void CatalogueModel::RowChanged(std::size_t row) {
    MarkStale(ToInt(row));
    ChangeNow();
}

void CatalogueModel::RowRemoved(std::size_t row) {
    MarkStale(ToInt(row));
    ChangeNow();
}

void CatalogueModel::CurrentRowMoved(std::optional<std::size_t>) {
    currentMoved_ = true;
    ChangeNow();
}

QVariant CatalogueModel::ToolTip(int row) const {
    // A row left open by a failed scan holds only part of what its block said.
    if (table_.HasOpenRow() && row == CurrentRow()) return {};
    return RowToolTip(table_.Row(static_cast<std::size_t>(row)),
                      tapeFileName_ != nullptr ? *tapeFileName_ : QString());
}

void CatalogueModel::MarkStale(int row) {
    // Rows the views do not know yet arrive with their insertion.
    if (row >= shownRows_) return;
    firstStale_ = firstStale_ < 0 ? row : std::min(firstStale_, row);
    lastStale_ = std::max(lastStale_, row);
}

void CatalogueModel::ChangeNow() {
    if (!appending_) Flush();
}

}  // namespace brisalto
