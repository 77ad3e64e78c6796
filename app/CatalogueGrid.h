// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QTableView>

namespace brisalto {

class CatalogueModel;

// The read-only catalogue grid (the form's RxDBGrid1). The table's cursor is the grid's current
// row: keys, mouse presses, the wheel and the vertical scroll bar move the cursor through the
// model, and the grid follows the model's CurrentRowChanged.
class CatalogueGrid final : public QTableView {
    Q_OBJECT

public:
    explicit CatalogueGrid(QWidget* parent = nullptr);

    // Shows source's rows; nullptr lets go of the model shown so far.
    void SetDataSource(CatalogueModel* source);
    // Rows that fit wholly in the visible area (at least one).
    int VisibleRowCount() const;
    int TopVisibleRow() const;

signals:
    // The left button was released over a data cell.
    void CellClick();
    // A key was released while the grid has the focus (a held key once, on its release).
    void KeyUp();
    // The row menu is asked for, to show at globalPos: a right click on a row, which is then
    // current, or the Menu key or Shift+F10, for the current row.
    void ContextMenu(const QPoint& globalPos);
    // F3 asks for the Block View of the current row.
    void ViewBlock();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MoveTo(int row);
    void MoveBy(int delta);
    int CurrentRow() const;
    int LastRow() const;
    int BottomVisibleRow() const;
    void ShowCurrentRow(int row);
    void TurnWheel(const QWheelEvent& event);
    void ScrollBarAction(int action);
    void RowPressed(int row);
    void AskForMenuAtCurrentRow();

    CatalogueModel* source_ = nullptr;
    int wheelRemainder_ = 0;       // eighths of a degree not yet turned into a row step
    bool followingThumb_ = false;  // a dragged thumb scrolls; the current row only follows it
};

}  // namespace brisalto
