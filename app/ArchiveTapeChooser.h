// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <cstddef>
#include <vector>

#include "TapeArchive.h"

class QLineEdit;
class QPushButton;
class QSortFilterProxyModel;
class QStandardItemModel;
class QTreeView;

namespace brisalto {

// The small modal list of the tapes an archive holds, in archive order with their sizes, the
// first selected. Typing in the filter line above it keeps the names that hold what was typed
// (in any case), while the arrow and page keys still move in the list; a click on a column's
// title sorts by it (a third click: archive order again). A name cut by the column's width shows
// whole in its tooltip. Enter, a double click or "Open" takes the selected tape, Esc cancels.
class ArchiveTapeChooser final : public QDialog {
    Q_OBJECT

public:
    ArchiveTapeChooser(const QString& archive, const std::vector<ArchiveTape>& tapes,
                       QWidget* parent = nullptr);
    // The index into the tapes of the one selected.
    std::size_t Chosen() const;

public:  // QDialog API
    void accept() override;

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // After the filter changed: the selection kept when still shown, else the first name shown.
    void KeepASelection();

    QLineEdit* filter_;
    QStandardItemModel* tapes_;
    QSortFilterProxyModel* shown_;
    QTreeView* list_;
    QPushButton* open_;
};

}  // namespace brisalto
