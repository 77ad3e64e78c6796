// SPDX-License-Identifier: GPL-3.0-or-later
#include "IndicatorHeader.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "CatalogueModel.h"

namespace brisalto {

IndicatorHeader::IndicatorHeader(QWidget* parent) : QHeaderView(Qt::Vertical, parent) {
    setSectionsClickable(false);
    setHighlightSections(false);
    setSectionResizeMode(QHeaderView::Fixed);
    setFixedWidth(kWidth);
}

QSize IndicatorHeader::sizeHint() const {
    // The base class measures every section's text; this column's width never changes.
    return {kWidth, QHeaderView::defaultSectionSize()};
}

void IndicatorHeader::paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const {
    // The base class clips to the text area, which in a column this narrow is empty.
    painter->save();
    QHeaderView::paintSection(painter, rect, logicalIndex);
    painter->restore();
    if (model() == nullptr) return;
    const auto indicator = static_cast<RowIndicator>(
        model()->headerData(logicalIndex, Qt::Vertical, CatalogueModel::kIndicatorRole).toInt());
    if (indicator == RowIndicator::None) return;

    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, false);
    const QPointF centre = QRectF(rect).center();
    const QColor ink = palette().color(QPalette::WindowText);
    if (indicator == RowIndicator::Current) {
        // A small right-pointing triangle.
        QPainterPath arrow;
        arrow.moveTo(centre.x() - 2, centre.y() - 4);
        arrow.lineTo(centre.x() + 2, centre.y());
        arrow.lineTo(centre.x() - 2, centre.y() + 4);
        arrow.closeSubpath();
        painter->fillPath(arrow, ink);
    } else {
        // An asterisk, the mark of a row being inserted.
        painter->setPen(QPen(ink, 1));
        const double r = 3;
        painter->drawLine(QPointF(centre.x() - r, centre.y()), QPointF(centre.x() + r, centre.y()));
        painter->drawLine(QPointF(centre.x(), centre.y() - r), QPointF(centre.x(), centre.y() + r));
        painter->drawLine(QPointF(centre.x() - 2, centre.y() - 2),
                          QPointF(centre.x() + 2, centre.y() + 2));
        painter->drawLine(QPointF(centre.x() - 2, centre.y() + 2),
                          QPointF(centre.x() + 2, centre.y() - 2));
    }
    painter->restore();
}

void IndicatorHeader::mousePressEvent(QMouseEvent* event) {
    const int row = logicalIndexAt(event->position().toPoint());
    if (row >= 0) emit RowPressed(row);
    event->accept();
}

void IndicatorHeader::mouseDoubleClickEvent(QMouseEvent* event) {
    mousePressEvent(event);
}

// No drag-selection and no section resizing from this column.
void IndicatorHeader::mouseMoveEvent(QMouseEvent* event) {
    event->accept();
}

void IndicatorHeader::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
}

}  // namespace brisalto
