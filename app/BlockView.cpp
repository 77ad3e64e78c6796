// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockView.h"

#include <QFileInfo>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>
#include <QWindow>

#include <algorithm>
#include <set>
#include <span>
#include <string>
#include <utility>

#include "AddressField.h"
#include "BlockBuffer.h"
#include "BlockBytes.h"
#include "BlockDetailsTab.h"
#include "BlockViewChoice.h"
#include "CatalogueTable.h"
#include "ColourRuns.h"
#include "DecodeArray.h"
#include "DecodeBasicProgram.h"
#include "DecodeScreen.h"
#include "DecodeVariables.h"
#include "DisassembleZ80.h"
#include "HexLines.h"
#include "LineSink.h"
#include "ProgramView.h"
#include "ScreenTab.h"
#include "TapeText.h"
#include "VariablesText.h"
#include "WindowPlacement.h"

namespace brisalto {

namespace {

constexpr int kMinimumWidth = 640;
constexpr int kHeight = 540;            // room for the Details tab's list and a block's fields
constexpr int kLeastWidthBeside = 480;  // narrower, and the tabs' titles would not show

// The tape's name as its file or archive entry has it, without folders.
QString TapeName(const TapeLocation& tape) {
    const QString name = QFileInfo(QString::fromStdString(tape.path)).fileName();
    if (!tape.InArchive()) return name;
    const QString entry = QString::fromStdString(tape.entry).section(QLatin1Char('/'), -1);
    return QStringLiteral("%1 in %2").arg(entry, name);
}

QString Joined(const std::vector<std::string>& utf8Lines) {
    QStringList lines;
    for (const std::string& line : utf8Lines) lines.push_back(QString::fromStdString(line));
    return lines.join(QLatin1Char('\n'));
}

// The BASIC view's lines (UTF-8), in the window's characters.
QString ListingText(std::span<const std::uint8_t> body, std::uint16_t length) {
    return Joined(ProgramViewLines(body, length));
}

QColor PaletteColour(std::uint8_t index) {
    return QColor::fromRgb(static_cast<QRgb>(kSpectrumPalette[index & 0xF]));
}

// Gives the listing's lines in edit the colours their INK, PAPER, BRIGHT, INVERSE and FLASH codes
// list them in; FLASH, which a still text cannot show, is underlined.
void ColourListing(QPlainTextEdit& edit, std::span<const std::uint8_t> body, std::uint16_t length) {
    const std::size_t kept = std::min({body.size(), std::size_t{length}, kBlockBufferSize});
    LineVector lines;
    std::vector<HiddenNumber> hidden;
    std::vector<ColourCode> colours;
    DecodeBasicProgram(body.first(kept), length, lines, hidden, colours, BasicSpelling::Spectrum);
    QTextCursor cursor(edit.document());
    for (auto code = colours.begin(); code != colours.end();) {
        const auto lineEnd = std::find_if(code, colours.end(), [&code](const ColourCode& other) {
            return other.line != code->line;
        });
        const std::string& line = lines.lines[code->line];
        const QTextBlock block = edit.document()->findBlockByNumber(static_cast<int>(code->line));
        // Positions in the text shown: the line's UTF-8 turned into the window's characters.
        const auto at = [&line, &block](std::size_t column) {
            return block.position() +
                   static_cast<int>(QString::fromStdString(line.substr(0, column)).size());
        };
        for (const ColouredRun& run : ColourRuns(line.size(), std::span(code, lineEnd))) {
            QTextCharFormat format;
            format.setForeground(PaletteColour(run.ink));
            format.setBackground(PaletteColour(run.paper));
            format.setFontUnderline(run.flash);
            cursor.setPosition(at(run.begin));
            cursor.setPosition(at(run.end), QTextCursor::KeepAnchor);
            cursor.mergeCharFormat(format);
        }
        code = lineEnd;
    }
}

QString VariablesText(std::span<const std::uint8_t> data, std::size_t programLength) {
    if (programLength > data.size()) return {};
    return Joined(VariablesLines(DecodeVariables(data.subspan(programLength))));
}

// nameByte: the array's name as its header keeps it (0 without a header).
QString ArrayText(std::span<const std::uint8_t> data, bool characters, std::uint8_t nameByte) {
    const auto array = DecodeArrayBlock(data, characters, nameByte);
    if (!array) return QStringLiteral("No array: %1.").arg(QString::fromUtf8(kArrayMisfitText));
    return Joined(ArrayViewLines(*array));
}

QString DisassemblyText(std::span<const std::uint8_t> data, std::uint16_t address,
                        std::size_t from) {
    return Joined(DisassemblyLines(data, address, from));
}

}  // namespace

BlockView::BlockView(QWidget& owner, std::shared_ptr<const TapeDocument> tape,
                     const CatalogueTable& table, std::size_t index, const QFont& font)
    : QWidget(&owner, Qt::Window), tabs_(new QTabWidget(this)), font_(font) {
    const CatalogueRow& row = table.Row(index);
    body_ = BodyAt(*tape, row);
    data_ = BlockData(body_);

    setObjectName(QStringLiteral("BlockView"));
    setAttribute(Qt::WA_DeleteOnClose);
    // The main window's closing ends the program, whatever views are open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(
        QStringLiteral("Block View: row %1 of %2").arg(index + 1).arg(TapeName(tape->location)));
    // Wide enough for a hex line (about 80 characters) in the font chosen, within the screen.
    const int lineWidth = QFontMetrics(font_).horizontalAdvance(QString(82, QLatin1Char('0')));
    const int screenWidth = owner.screen() != nullptr
                                ? owner.screen()->availableGeometry().width() * 9 / 10
                                : kMinimumWidth;
    resize(std::max(kMinimumWidth, std::min(lineWidth + 60, screenWidth)), kHeight);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);

    for (const BlockViewKind view : BlockViewsFor(table, index)) {
        switch (view) {
            case BlockViewKind::Hex: {
                HexLayout hex;
                hex.loadAddress = LoadAddress(table, index);
                AddTextTab(QStringLiteral("Hex"),
                           [this, hex] { return Joined(HexLines(body_, hex)); });
                break;
            }
            case BlockViewKind::Disassembly: AddDisassemblyTab(LoadAddress(table, index)); break;
            case BlockViewKind::Basic:
                AddTextTab(
                    QStringLiteral("BASIC"),
                    [this, length = row.Par1.value_or(0)] { return ListingText(body_, length); },
                    [this, length = row.Par1.value_or(0)](QPlainTextEdit& edit) {
                        ColourListing(edit, body_, length);
                    });
                break;
            case BlockViewKind::Variables:
                AddTextTab(QStringLiteral("Variables"), [this, length = row.Par1.value_or(0)] {
                    return VariablesText(data_, length);
                });
                break;
            case BlockViewKind::Array:
                AddTextTab(
                    QStringLiteral("Array"),
                    [this, characters = IsHeadedDataOf(table, index, kCharacterArrayDataTipo),
                     nameByte = ArrayNameByte(table, index).value_or(0)] {
                        return ArrayText(data_, characters, nameByte);
                    });
                break;
        }
    }
    // A tab's text is made when it is first shown: a 48 KiB block's disassembly alone is tens of
    // thousands of lines, and the window should be there at once.
    connect(tabs_, &QTabWidget::currentChanged, this, &BlockView::FillTab);
    // Every block of the tape, this row's marked, each to be looked into.
    tabs_->addTab(new BlockDetailsTab(tape, row.Position, font_), QStringLiteral("Details"));
    AddScreenTab(*tabs_, *tape, row);
}

QPlainTextEdit* BlockView::AddTextTab(const QString& title, std::function<QString()> text,
                                      std::function<void(QPlainTextEdit&)> decorate) {
    auto* edit = new QPlainTextEdit;
    edit->setObjectName(title);
    edit->setReadOnly(true);
    edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setFont(font_);
    unfilled_.emplace(edit, Filling{edit, std::move(text), std::move(decorate)});
    const int index = tabs_->addTab(edit, title);
    if (index == tabs_->currentIndex()) FillTab(index);
    return edit;
}

void BlockView::FillTab(int index) {
    const auto found = unfilled_.find(tabs_->widget(index));
    if (found == unfilled_.end()) return;
    const Filling filling = std::move(found->second);
    unfilled_.erase(found);
    filling.edit->setPlainText(filling.text());
    if (filling.decorate) filling.decorate(*filling.edit);
}

void BlockView::AddDisassemblyTab(std::optional<std::uint16_t> load) {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* address = new AddressField;
    address->setObjectName(QStringLiteral("DisassemblyAddress"));
    if (load) address->SetRange(*load, LastLoadedAddress(*load, data_.size()).value_or(*load));
    layout->addWidget(address);
    auto* edit = new QPlainTextEdit;
    edit->setObjectName(QStringLiteral("Disassembly"));
    edit->setReadOnly(true);
    edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setFont(font_);
    layout->addWidget(edit);
    const auto text = [this, address, load] {
        const std::uint16_t at = address->Address();
        return load ? DisassemblyText(data_, *load, std::size_t(at - *load))
                    : DisassemblyText(data_, at, 0);
    };
    unfilled_.emplace(page, Filling{edit, text, {}});
    connect(address, &AddressField::AddressChosen, edit, [this, page, edit, text] {
        unfilled_.erase(page);
        edit->setPlainText(text());
    });
    const int index = tabs_->addTab(page, QStringLiteral("Disassembly"));
    if (index == tabs_->currentIndex()) FillTab(index);
}

void BlockView::SetTextFont(const QFont& font) {
    font_ = font;
    for (QPlainTextEdit* edit : findChildren<QPlainTextEdit*>()) edit->setFont(font_);
}

void BlockView::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

// Beside the main window, a step down and across from the views open there, so that none hides
// another exactly; below its grid where the screen has no room beside it.
void BlockView::Place(QWidget& owner) {
    std::set<int> taken;
    for (const BlockView* other : owner.findChildren<BlockView*>(Qt::FindDirectChildrenOnly)) {
        if (other != this && other->isVisible()) taken.insert(other->cascade_);
    }
    while (taken.count(cascade_) != 0) ++cascade_;
    const QWidget* grid = owner.findChild<QWidget*>(QStringLiteral("RxDBGrid1"));
    PlaceBeside(*this, owner, grid != nullptr ? grid->geometry() : owner.rect(), kLeastWidthBeside,
                cascade_);
}

void OpenBlockView(QWidget& owner, std::shared_ptr<const TapeDocument> tape,
                   const CatalogueTable& table, std::size_t index) {
    // The listing pane's font, which follows the "Use Zx Spectrum Font" box.
    const auto* pane = owner.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    if (!tape) return;
    auto* view = new BlockView(owner, std::move(tape), table, index,
                               pane != nullptr ? pane->font() : QFont());
    // A window of the owner's would stay above it, hiding the grid it was opened from.
    view->winId();
    view->windowHandle()->setTransientParent(nullptr);
    view->Place(owner);
    view->show();
}

void CloseBlockViews(QWidget& owner) {
    for (BlockView* view : owner.findChildren<BlockView*>(Qt::FindDirectChildrenOnly))
        view->close();
}

void RestyleBlockViews(QWidget& owner, const QFont& font) {
    for (BlockView* view : owner.findChildren<BlockView*>(Qt::FindDirectChildrenOnly))
        view->SetTextFont(font);
}

}  // namespace brisalto
