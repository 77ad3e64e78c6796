// SPDX-License-Identifier: GPL-3.0-or-later
#include "CatalogueGrid.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <QWheelEvent>

#include <algorithm>

#include "CatalogueModel.h"
#include "GridColumns.h"
#include "IndicatorHeader.h"

namespace brisalto {

namespace {

constexpr int kRowHeight = 17;
constexpr int kTitleHeight = 18;
constexpr int kWheelNotch = 120;

constexpr int kSelectionLine = 2;  // pixels of the selection's line above and below a marked row

// Whole rows are selected, so no single cell draws a focus frame of its own. A row with a
// background of its own (the one the player sounds) keeps it when it is the current row too,
// where the selection's fill would hide it: the selection shows as a line above and below.
class RowCellDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        plain.state &= ~QStyle::State_HasFocus;
        const bool marked = index.data(Qt::BackgroundRole).isValid();
        if (!marked || !plain.state.testFlag(QStyle::State_Selected)) {
            QStyledItemDelegate::paint(painter, plain, index);
            return;
        }
        plain.state &= ~QStyle::State_Selected;
        QStyledItemDelegate::paint(painter, plain, index);
        const QPalette::ColorGroup group =
            option.state.testFlag(QStyle::State_Active) ? QPalette::Active : QPalette::Inactive;
        const QColor line = option.palette.color(group, QPalette::Highlight);
        const QRect cell = option.rect;
        painter->fillRect(QRect(cell.left(), cell.top(), cell.width(), kSelectionLine), line);
        painter->fillRect(
            QRect(cell.left(), cell.bottom() + 1 - kSelectionLine, cell.width(), kSelectionLine),
            line);
    }
};

}  // namespace

CatalogueGrid::CatalogueGrid(QWidget* parent) : QTableView(parent) {
    auto* indicator = new IndicatorHeader(this);
    setVerticalHeader(indicator);
    connect(indicator, &IndicatorHeader::RowPressed, this, &CatalogueGrid::RowPressed);
    verticalHeader()->setMinimumSectionSize(1);
    verticalHeader()->setDefaultSectionSize(kRowHeight);

    QHeaderView* titles = horizontalHeader();
    titles->setSectionsClickable(false);
    titles->setSectionsMovable(false);
    titles->setHighlightSections(false);
    titles->setSectionResizeMode(QHeaderView::Fixed);
    titles->setStretchLastSection(false);
    titles->setFixedHeight(kTitleHeight);

    setItemDelegate(new RowCellDelegate(this));
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setTabKeyNavigation(false);  // Tab leaves the grid
    setShowGrid(true);
    setWordWrap(false);
    setCornerButtonEnabled(false);
    setDragEnabled(false);
    setVerticalScrollMode(QAbstractItemView::ScrollPerItem);
    setFocusPolicy(Qt::StrongFocus);

    // Without the focus the current row is marked by the indicator column only.
    QPalette colours = palette();
    colours.setColor(QPalette::Inactive, QPalette::Highlight,
                     colours.color(QPalette::Inactive, QPalette::Base));
    colours.setColor(QPalette::Inactive, QPalette::HighlightedText,
                     colours.color(QPalette::Inactive, QPalette::Text));
    setPalette(colours);

    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            &CatalogueGrid::ScrollBarAction);
    // The bar would turn the wheel into a jump along the list; it goes to the rows instead.
    verticalScrollBar()->installEventFilter(this);
}

void CatalogueGrid::SetDataSource(CatalogueModel* source) {
    if (source_ != nullptr) disconnect(source_, nullptr, this, nullptr);
    source_ = source;
    setModel(source);
    if (source == nullptr) return;
    for (std::size_t column = 0; column < kGridColumns.size(); ++column) {
        setColumnWidth(static_cast<int>(column), kGridColumns[column].width);
    }
    connect(source, &CatalogueModel::CurrentRowChanged, this, &CatalogueGrid::ShowCurrentRow);
    ShowCurrentRow(source->CurrentRow());
}

int CatalogueGrid::VisibleRowCount() const {
    return std::max(1, viewport()->height() / verticalHeader()->defaultSectionSize());
}

int CatalogueGrid::TopVisibleRow() const {
    return std::max(0, rowAt(0));
}

int CatalogueGrid::BottomVisibleRow() const {
    return std::min(TopVisibleRow() + VisibleRowCount() - 1, LastRow());
}

int CatalogueGrid::CurrentRow() const {
    return source_ != nullptr ? source_->CurrentRow() : -1;
}

int CatalogueGrid::LastRow() const {
    return source_ != nullptr ? source_->DataRowCount() - 1 : -1;
}

void CatalogueGrid::MoveTo(int row) {
    if (source_ != nullptr) source_->MoveTo(row);
}

void CatalogueGrid::MoveBy(int delta) {
    const int current = CurrentRow();
    MoveTo(current < 0 ? 0 : current + delta);
}

void CatalogueGrid::ShowCurrentRow(int row) {
    if (row < 0) {
        selectionModel()->clear();
    } else {
        const int column = std::max(0, currentIndex().column());
        const QModelIndex index = model()->index(row, column);
        selectionModel()->setCurrentIndex(
            index, QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
        // While the thumb is dragged, the row is already among those the thumb brings into view.
        if (!followingThumb_) scrollTo(index, QAbstractItemView::EnsureVisible);
    }
    verticalHeader()->viewport()->update();
}

void CatalogueGrid::keyPressEvent(QKeyEvent* event) {
    const bool ctrl = event->modifiers().testFlag(Qt::ControlModifier);
    switch (event->key()) {
        case Qt::Key_Up: ctrl ? MoveTo(TopVisibleRow()) : MoveBy(-1); break;
        case Qt::Key_Down: ctrl ? MoveTo(BottomVisibleRow()) : MoveBy(1); break;
        case Qt::Key_Left: MoveBy(-1); break;
        case Qt::Key_Right: MoveBy(1); break;
        case Qt::Key_PageUp: ctrl ? MoveTo(TopVisibleRow()) : MoveBy(-VisibleRowCount()); break;
        case Qt::Key_PageDown: ctrl ? MoveTo(BottomVisibleRow()) : MoveBy(VisibleRowCount()); break;
        case Qt::Key_Home: MoveTo(0); break;
        case Qt::Key_End: MoveTo(LastRow()); break;
        case Qt::Key_Escape:
            if (source_ != nullptr) source_->CancelOpenRow();
            break;
        case Qt::Key_Menu: AskForMenuAtCurrentRow(); break;
        case Qt::Key_F3: emit ViewBlock(); break;
        case Qt::Key_F10:
            if (event->modifiers() != Qt::ShiftModifier) {
                event->ignore();
                return;
            }
            AskForMenuAtCurrentRow();
            break;
        default: event->ignore(); return;
    }
    event->accept();
}

void CatalogueGrid::keyReleaseEvent(QKeyEvent* event) {
    event->accept();
    if (!event->isAutoRepeat()) emit KeyUp();
}

void CatalogueGrid::mousePressEvent(QMouseEvent* event) {
    // Any button; the empty strip right of the last column belongs to the row beside it.
    const int row = rowAt(qRound(event->position().y()));
    if (row >= 0) MoveTo(row);
    setFocus(Qt::MouseFocusReason);
    event->accept();
}

// The second press of a double click is a press like the first.
void CatalogueGrid::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

// Dragging neither selects nor moves.
void CatalogueGrid::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void CatalogueGrid::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && indexAt(event->position().toPoint()).isValid()) {
        emit CellClick();
    }
}

void CatalogueGrid::wheelEvent(QWheelEvent* event) {
    event->accept();
    TurnWheel(*event);
}

// The keys ask for the menu in keyPressEvent, on every platform alike; a menu the system asks
// for by key as well would be a second one.
void CatalogueGrid::contextMenuEvent(QContextMenuEvent* event) {
    event->accept();
    // The press before it has made the row under the pointer current.
    if (event->reason() == QContextMenuEvent::Mouse && rowAt(event->pos().y()) >= 0) {
        emit ContextMenu(event->globalPos());
    }
}

// Below the current row's cell, or the blank row's while the grid is empty.
void CatalogueGrid::AskForMenuAtCurrentRow() {
    if (model() == nullptr) return;
    const QModelIndex cell =
        model()->index(std::max(0, CurrentRow()), std::max(0, currentIndex().column()));
    const QRect rect = visualRect(cell).intersected(viewport()->rect());
    emit ContextMenu(viewport()->mapToGlobal(rect.isEmpty() ? QPoint() : rect.bottomLeft()));
}

bool CatalogueGrid::eventFilter(QObject* watched, QEvent* event) {
    if (watched == verticalScrollBar() && event->type() == QEvent::Wheel) {
        TurnWheel(static_cast<const QWheelEvent&>(*event));
        return true;
    }
    return QTableView::eventFilter(watched, event);
}

void CatalogueGrid::TurnWheel(const QWheelEvent& event) {
    if (!hasFocus()) return;
    wheelRemainder_ += event.angleDelta().y();
    const int notches = wheelRemainder_ / kWheelNotch;
    wheelRemainder_ -= notches * kWheelNotch;
    // Turning the wheel away from the user moves down the list.
    if (notches != 0) MoveBy(-notches);
}

void CatalogueGrid::RowPressed(int row) {
    MoveTo(row);
    setFocus(Qt::MouseFocusReason);
}

void CatalogueGrid::ScrollBarAction(int action) {
    QScrollBar* bar = verticalScrollBar();
    switch (action) {
        case QAbstractSlider::SliderSingleStepAdd: MoveBy(1); break;
        case QAbstractSlider::SliderSingleStepSub: MoveBy(-1); break;
        case QAbstractSlider::SliderPageStepAdd: MoveBy(VisibleRowCount()); break;
        case QAbstractSlider::SliderPageStepSub: MoveBy(-VisibleRowCount()); break;
        case QAbstractSlider::SliderToMinimum: MoveTo(0); break;
        case QAbstractSlider::SliderToMaximum: MoveTo(LastRow()); break;
        case QAbstractSlider::SliderMove: {
            // The thumb scrolls the list as it goes and picks the row at its own place along the
            // bar, which is always among the rows it brings into view.
            const int range = bar->maximum() - bar->minimum();
            const int offset = bar->sliderPosition() - bar->minimum();
            const int row =
                range <= 0 ? 0
                           : static_cast<int>(static_cast<long long>(offset) * LastRow() / range);
            // Scrolled first, so that the row is in view when it becomes current.
            bar->setValue(bar->sliderPosition());
            followingThumb_ = true;
            MoveTo(row);
            followingThumb_ = false;
            return;
        }
        default: return;
    }
    // The move has scrolled the current row into view; keep that rather than the bar's own step.
    bar->setSliderPosition(bar->value());
}

}  // namespace brisalto
