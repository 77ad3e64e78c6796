// SPDX-License-Identifier: GPL-3.0-or-later
#include "ArchiveTapeChooser.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHeaderView>
#include <QHelpEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QSortFilterProxyModel>
#include <QStandardItemModel>
#include <QStyledItemDelegate>
#include <QToolTip>
#include <QTreeView>
#include <QVBoxLayout>

#include "PathBytes.h"
#include "WindowPlacement.h"

namespace brisalto {

namespace {

// What a column sorts by: the name as shown, the size as a number.
constexpr int kSortRole = Qt::UserRole;

// Shows a name whole in its tooltip when the column is too narrow for it, and no tooltip when
// the name fits.
class WholeNameDelegate final : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    bool helpEvent(QHelpEvent* event, QAbstractItemView* view, const QStyleOptionViewItem& option,
                   const QModelIndex& index) override {
        if (event == nullptr || view == nullptr || event->type() != QEvent::ToolTip)
            return QStyledItemDelegate::helpEvent(event, view, option, index);
        QStyleOptionViewItem item = option;
        initStyleOption(&item, index);
        const QStyle* style = view->style();
        // The room the style leaves the text, less the margins it draws the text within.
        const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, view) + 1;
        const int room =
            style->subElementRect(QStyle::SE_ItemViewItemText, &item, view).width() - 2 * margin;
        if (item.fontMetrics.horizontalAdvance(item.text) > room) {
            QToolTip::showText(event->globalPos(), item.text, view->viewport(),
                               view->visualRect(index));
        } else {
            QToolTip::hideText();
        }
        return true;
    }
};

bool MovesInTheList(int key) {
    return key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp ||
           key == Qt::Key_PageDown;
}

}  // namespace

ArchiveTapeChooser::ArchiveTapeChooser(const QString& archive,
                                       const std::vector<ArchiveTape>& tapes, QWidget* parent)
    : QDialog(parent),
      filter_(new QLineEdit(this)),
      tapes_(new QStandardItemModel(0, 2, this)),
      shown_(new QSortFilterProxyModel(this)),
      list_(new QTreeView(this)),
      open_(nullptr) {
    setObjectName(QStringLiteral("ArchiveTapeChooser"));
    setWindowTitle(QApplication::applicationDisplayName());
    setModal(true);

    auto* label = new QLabel(QStringLiteral("%1 holds %2 tapes. Open which?")
                                 .arg(QFileInfo(archive).fileName())
                                 .arg(tapes.size()),
                             this);
    label->setTextFormat(Qt::PlainText);

    filter_->setObjectName(QStringLiteral("ArchiveTapeFilter"));
    filter_->setPlaceholderText(QStringLiteral("Filter"));
    filter_->setClearButtonEnabled(true);
    filter_->installEventFilter(this);

    tapes_->setHorizontalHeaderLabels({QStringLiteral("Tape"), QStringLiteral("Size")});
    for (const ArchiveTape& tape : tapes) {
        auto* name = new QStandardItem(ShownName(tape.name));
        name->setData(name->text(), kSortRole);
        auto* size = new QStandardItem(QLocale::system().formattedDataSize(
            static_cast<qint64>(tape.size), 1, QLocale::DataSizeTraditionalFormat));
        size->setData(QVariant::fromValue(static_cast<qulonglong>(tape.size)), kSortRole);
        size->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        for (QStandardItem* item : {name, size}) item->setEditable(false);
        tapes_->appendRow({name, size});
    }
    shown_->setSourceModel(tapes_);
    shown_->setSortRole(kSortRole);
    shown_->setSortCaseSensitivity(Qt::CaseInsensitive);
    shown_->setSortLocaleAware(true);
    shown_->setFilterKeyColumn(0);
    shown_->setFilterCaseSensitivity(Qt::CaseInsensitive);

    list_->setObjectName(QStringLiteral("ArchiveTapes"));
    list_->setModel(shown_);
    list_->setItemDelegate(new WholeNameDelegate(list_));
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setTextElideMode(Qt::ElideMiddle);
    // Archive order until a column's title is clicked, and again after its third click.
    list_->header()->setSortIndicator(-1, Qt::AscendingOrder);
    list_->header()->setSortIndicatorClearable(true);
    list_->setSortingEnabled(true);
    list_->header()->setStretchLastSection(false);
    list_->header()->setSectionResizeMode(0, QHeaderView::Stretch);
    list_->header()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    list_->setCurrentIndex(shown_->index(0, 0));
    connect(list_, &QTreeView::activated, this, &ArchiveTapeChooser::accept);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Open | QDialogButtonBox::Cancel, this);
    open_ = buttons->button(QDialogButtonBox::Open);
    open_->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &ArchiveTapeChooser::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(filter_, &QLineEdit::textChanged, this, [this](const QString& text) {
        shown_->setFilterFixedString(text);
        KeepASelection();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label);
    layout->addWidget(filter_);
    layout->addWidget(list_);
    layout->addWidget(buttons);
    resize(520, 360);
    filter_->setFocus(Qt::OtherFocusReason);
}

std::size_t ArchiveTapeChooser::Chosen() const {
    const int row = shown_->mapToSource(list_->currentIndex()).row();
    return row < 0 ? 0 : static_cast<std::size_t>(row);
}

void ArchiveTapeChooser::accept() {
    // Nothing to open while the filter leaves no name.
    if (list_->currentIndex().isValid()) QDialog::accept();
}

void ArchiveTapeChooser::KeepASelection() {
    if (!list_->currentIndex().isValid() && shown_->rowCount() > 0)
        list_->setCurrentIndex(shown_->index(0, 0));
    if (list_->currentIndex().isValid()) list_->scrollTo(list_->currentIndex());
    open_->setEnabled(list_->currentIndex().isValid());
}

bool ArchiveTapeChooser::eventFilter(QObject* watched, QEvent* event) {
    // The keys that move in a list do so from the filter line too, so that typing and choosing
    // need no change of focus.
    if (watched == filter_ && event->type() == QEvent::KeyPress &&
        MovesInTheList(static_cast<QKeyEvent*>(event)->key())) {
        QApplication::sendEvent(list_, event);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void ArchiveTapeChooser::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PlaceOnScreen(*this, Placement::Centre);
}

}  // namespace brisalto
