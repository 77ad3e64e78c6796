// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveTapeChooser.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QLabel>
#include <QLocale>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "WindowPlacement.h"

namespace brisalto {

ArchiveTapeChooser::ArchiveTapeChooser(const QString& archive,
                                       const std::vector<ArchiveTape>& tapes, QWidget* parent)
    : QDialog(parent), list_(new QTreeWidget(this)) {
    setObjectName(QStringLiteral("ArchiveTapeChooser"));
    setWindowTitle(QApplication::applicationDisplayName());
    setModal(true);

    auto* label = new QLabel(
        QStringLiteral("%1 holds %2 tapes. Open which?")
            .arg(QFileInfo(archive).fileName())
            .arg(tapes.size()),
        this);
    label->setTextFormat(Qt::PlainText);

    list_->setObjectName(QStringLiteral("ArchiveTapes"));
    list_->setColumnCount(2);
    list_->setHeaderLabels({QStringLiteral("Tape"), QStringLiteral("Size")});
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    for (const ArchiveTape& tape : tapes) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, QString::fromStdString(tape.name));
        item->setText(1, QLocale::system().formattedDataSize(
                             static_cast<qint64>(tape.size), 1, QLocale::DataSizeTraditionalFormat));
        item->setTextAlignment(1, Qt::AlignRight | Qt::AlignVCenter);
    }
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    list_->setCurrentItem(list_->topLevelItem(0));
    connect(list_, &QTreeWidget::itemActivated, this, &QDialog::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Open)->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(420, 240);
    list_->setFocus(Qt::OtherFocusReason);
}

std::size_t ArchiveTapeChooser::Chosen() const {
    const int row = list_->indexOfTopLevelItem(list_->currentItem());
    return row < 0 ? 0 : static_cast<std::size_t>(row);
}

void ArchiveTapeChooser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PlaceOnScreen(*this, Placement::Centre);
}

}  // namespace brisalto
