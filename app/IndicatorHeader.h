// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHeaderView>

namespace brisalto {

// The grid's row indicator column: an arrow at the current row, an insertion mark instead while
// that row is still open. A press on it reports the row and leaves moving to the grid.
class IndicatorHeader final : public QHeaderView {
    Q_OBJECT

public:
    static constexpr int kWidth = 12;

    explicit IndicatorHeader(QWidget* parent = nullptr);

    QSize sizeHint() const override;

signals:
    void RowPressed(int row);

protected:
    void paintSection(QPainter* painter, const QRect& rect, int logicalIndex) const override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
};

}  // namespace brisalto
