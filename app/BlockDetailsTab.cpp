// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockDetailsTab.h"

#include <QAbstractListModel>
#include <QFont>
#include <QListView>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QTabWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <string>

#include "AddressField.h"
#include "BlockBytes.h"
#include "DisassembleZ80.h"
#include "FailureText.h"
#include "HexLines.h"

namespace brisalto {

namespace {

constexpr int kListedBlocks = 5;  // the list's height at first, in blocks

QString Joined(const std::vector<std::string>& utf8Lines) {
    QStringList lines;
    for (const std::string& line : utf8Lines) lines.push_back(QString::fromStdString(line));
    return lines.join(QLatin1Char('\n'));
}

QPlainTextEdit* TextPane(const QString& name, const QFont& font) {
    auto* edit = new QPlainTextEdit;
    edit->setObjectName(name);
    edit->setReadOnly(true);
    edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setFont(font);
    return edit;
}

// A block without a body as stored: its ID, fixed fields and the part kept of it.
std::vector<std::uint8_t> StoredBytes(const TapeBlock& block) {
    std::vector<std::uint8_t> bytes = {block.id};
    const auto fixed = block.Fixed();
    bytes.insert(bytes.end(), fixed.begin(), fixed.end());
    bytes.insert(bytes.end(), block.part.begin(), block.part.end());
    return bytes;
}

// The tape's blocks as the list shows them, a heading each made when shown (a tape may have a
// million blocks), the view's own row's block marked.
class BlockListModel final : public QAbstractListModel {
public:
    BlockListModel(const TapeDocument& tape, const std::vector<std::optional<std::size_t>>& rows,
                   std::optional<std::size_t> marked, QObject* parent)
        : QAbstractListModel(parent), tape_(tape), rows_(rows), marked_(marked) {}

public:  // QAbstractListModel API
    int rowCount(const QModelIndex& parent) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }
    QVariant data(const QModelIndex& index, int role) const override {
        if (!index.isValid() || index.row() >= rowCount({})) return {};
        const auto block = static_cast<std::size_t>(index.row());
        const bool marked = block == marked_;
        if (role == Qt::DisplayRole) {
            const QString heading =
                QString::fromStdString(BlockHeading(block, tape_.blocks[block].id, rows_[block]));
            return marked ? QStringLiteral("\u25B6 ") + heading : heading;
        }
        if (role == Qt::FontRole && marked) {
            QFont bold;
            bold.setBold(true);
            return bold;
        }
        return {};
    }

private:
    const TapeDocument& tape_;
    const std::vector<std::optional<std::size_t>>& rows_;
    std::optional<std::size_t> marked_;
};

}  // namespace

BlockDetailsTab::BlockDetailsTab(std::shared_ptr<const TapeDocument> tape,
                                 std::uint64_t rowPosition, const QFont& font)
    : tape_(std::move(tape)), rows_(BlockRows(*tape_)) {
    setObjectName(QStringLiteral("Details"));
    std::optional<std::size_t> marked;
    for (std::size_t index = 0; index < rows_.size(); ++index) {
        const auto& body = tape_->blocks[index].body;
        if (rows_[index] && body->position == rowPosition) marked = index;
    }
    blocks_ = new QListView;
    blocks_->setObjectName(QStringLiteral("DetailsBlocks"));
    blocks_->setUniformItemSizes(true);
    blocks_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    blocks_->setModel(new BlockListModel(*tape_, rows_, marked, blocks_));

    fields_ = TextPane(QStringLiteral("DetailsFields"), font);
    hex_ = TextPane(QStringLiteral("DetailsHex"), font);
    auto* views = new QTabWidget;
    views->addTab(fields_, QStringLiteral("Fields"));
    views->addTab(hex_, QStringLiteral("Hex"));
    auto* page = new QWidget;
    auto* pageLayout = new QVBoxLayout(page);
    // A block without a header has no address of its own: its first data byte is taken to be
    // at the address chosen.
    address_ = new AddressField;
    address_->setObjectName(QStringLiteral("DetailsAddress"));
    pageLayout->addWidget(address_);
    disassembly_ = TextPane(QStringLiteral("DetailsDisassembly"), font);
    pageLayout->addWidget(disassembly_);
    views->addTab(page, QStringLiteral("Disassembly"));
    connect(address_, &AddressField::AddressChosen, this, &BlockDetailsTab::ShowDisassembly);

    // The list as high as a few blocks, the rest of the height the fields', which a block of
    // many (a turbo block's timings) needs; a taller window gives them the more.
    auto* splitter = new QSplitter(Qt::Vertical);
    splitter->addWidget(blocks_);
    splitter->addWidget(views);
    splitter->setStretchFactor(0, 0);
    splitter->setStretchFactor(1, 1);
    const int listed = std::clamp(static_cast<int>(rows_.size()), 1, kListedBlocks);
    splitter->setSizes(
        {listed * std::max(blocks_->sizeHintForRow(0), 1) + 2 * blocks_->frameWidth(),
         views->sizeHint().height()});
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(splitter);

    // The panes are filled while the tab is shown: a 48 KiB block's hex and disassembly would
    // hold up the opening of every Block View.
    connect(blocks_->selectionModel(), &QItemSelectionModel::currentRowChanged, this,
            [this](const QModelIndex& current) {
                if (isVisible()) {
                    ShowBlock(current.row());
                } else {
                    unshown_ = true;
                }
            });
    // The view's own row's block selected to begin with.
    blocks_->setCurrentIndex(blocks_->model()->index(static_cast<int>(marked.value_or(0)), 0));
}

void BlockDetailsTab::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!unshown_) return;
    unshown_ = false;
    ShowBlock(blocks_->currentIndex().row());
}

void BlockDetailsTab::ShowBlock(int index) {
    data_.clear();
    if (index < 0 || static_cast<std::size_t>(index) >= rows_.size()) return;
    const auto chosen = static_cast<std::size_t>(index);
    fields_->setPlainText(Joined(BlockDetailLines(DetailOf(*tape_, chosen, rows_[chosen]))));
    const TapeBlock& block = tape_->blocks[chosen];
    if (!block.body) {
        hex_->setPlainText(Joined(HexLines(StoredBytes(block), {false, std::nullopt})));
        ShowDisassembly();
        return;
    }
    // A slot: a tape changed or gone since it was opened is said in the pane, not thrown.
    try {
        const BlockBody& body = *block.body;
        const std::vector<std::uint8_t> bytes =
            BodyAt(*tape_, body.position, body.length, body.checksum);
        hex_->setPlainText(Joined(HexLines(bytes, {})));
        data_ = BlockData(bytes);
    } catch (const std::exception& failure) {
        hex_->setPlainText(QString::fromStdString(FailureText(failure.what())));
    }
    ShowDisassembly();
}

void BlockDetailsTab::ShowDisassembly() {
    if (data_.empty()) {
        disassembly_->setPlainText(QStringLiteral("This block has no data to disassemble."));
        return;
    }
    disassembly_->setPlainText(Joined(DisassemblyLines(data_, address_->Address())));
}

}  // namespace brisalto
