// SPDX-License-Identifier: GPL-3.0-or-later
#include "ScreenTab.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>

#include "ReadScreen.h"
#include "RowToolTip.h"
#include "TapeDocument.h"

namespace brisalto {

namespace {

constexpr int kLargestScale = 3;
constexpr int kFirstScale = 2;  // the tooltip's

QString Caption(const ScreenPlace& place, const CatalogueRow& row) {
    if (!place.Split()) return QStringLiteral("The screen this block holds.");
    if (place.first.position == row.Position) {
        return QStringLiteral(
            "This block holds the screen's bitmap; its attributes are in the "
            "next block with data.");
    }
    return QStringLiteral(
        "This block holds the screen's attributes; its bitmap is in the block "
        "with data before it.");
}

}  // namespace

ScreenTab::ScreenTab(const ScreenPixels& pixels, const QString& caption)
    : pixels_(pixels), scale_(new QComboBox), picture_(new QLabel), scroll_(new QScrollArea) {
    setObjectName(QStringLiteral("Screen"));
    scale_->setObjectName(QStringLiteral("ScreenScale"));
    for (int scale = 1; scale <= kLargestScale; ++scale)
        scale_->addItem(QStringLiteral("%1\u00D7").arg(scale), scale);
    picture_->setObjectName(QStringLiteral("ScreenPicture"));
    picture_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    scroll_->setWidget(picture_);
    scroll_->setWidgetResizable(false);

    auto* top = new QHBoxLayout;
    top->addWidget(new QLabel(caption));
    top->addStretch();
    top->addWidget(new QLabel(QStringLiteral("Size:")));
    top->addWidget(scale_);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(scroll_);

    connect(scale_, &QComboBox::currentIndexChanged, this,
            [this](int index) { SetScale(scale_->itemData(index).toInt()); });
    scale_->setCurrentIndex(kFirstScale - 1);
    SetScale(kFirstScale);
}

void ScreenTab::SetScale(int scale) {
    if (scale < 1 || scale > kLargestScale) return;
    scale_->setCurrentIndex(scale - 1);
    picture_->setPixmap(QPixmap::fromImage(ScreenImage(pixels_, scale)));
    picture_->resize(picture_->pixmap().size());
    if (isVisible()) GrowWindowToFit();
}

void ScreenTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    GrowWindowToFit();
}

void ScreenTab::GrowWindowToFit() {
    QWidget& window = *this->window();
    const QSize shortBy = (picture_->size() - scroll_->viewport()->size()).expandedTo(QSize(0, 0));
    if (shortBy == QSize(0, 0)) return;
    const QSize wanted = (window.size() + shortBy).expandedTo(window.size());
    if (window.screen() == nullptr) {
        window.resize(wanted);
        return;
    }
    // Within nine tenths of the screen, moved back onto it where the larger window would leave it.
    const QRect available = window.screen()->availableGeometry();
    const QSize size = wanted.boundedTo(available.size() * 9 / 10).expandedTo(window.size());
    const int x =
        std::max(available.left(), std::min(window.x(), available.right() - size.width()));
    const int y =
        std::max(available.top(), std::min(window.y(), available.bottom() - size.height()));
    window.setGeometry(QRect(window.geometry().topLeft() + QPoint(x, y) - window.pos(), size));
}

void AddScreenTab(QTabWidget& tabs, const TapeDocument& tape, const CatalogueRow& row) {
    if (!CouldHoldScreen(row.Length)) return;
    const std::vector<ScreenPlace> screens = FindScreens(tape.blocks);
    const ScreenPlace* place = ScreenOfRow(screens, row);
    ScreenPixels pixels;
    if (place == nullptr || !ReadScreen(tape, *place, pixels)) return;
    tabs.addTab(new ScreenTab(pixels, Caption(*place, row)), QStringLiteral("Screen"));
}

}  // namespace brisalto
