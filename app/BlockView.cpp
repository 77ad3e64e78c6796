// SPDX-License-Identifier: GPL-3.0-or-later
#include "BlockView.h"

#include <QFont>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include <algorithm>
#include <span>
#include <string>
#include <utility>

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

namespace brisalto {

namespace {

constexpr int kMinimumWidth = 640;

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
    if (!array) return QStringLiteral("No array: its dimensions do not fit its bytes.");
    std::vector<std::string> lines = {"DIM " + ArrayHeading(*array)};
    for (const std::string& line : ArrayLines(*array)) lines.push_back("  " + line);
    return Joined(lines);
}

QString DisassemblyText(std::span<const std::uint8_t> data, std::uint16_t address) {
    std::vector<std::string> lines;
    for (const Z80Line& line : DisassembleZ80(data, address)) lines.push_back(Z80LineText(line));
    return Joined(lines);
}

}  // namespace

BlockView::BlockView(QWidget& owner, const TapeLocation& tape, const CatalogueTable& table,
                     std::size_t index, const QFont& font)
    : QDialog(&owner), tabs_(new QTabWidget(this)), font_(font) {
    const CatalogueRow& row = table.Row(index);
    body_ = ReadBlockBody(tape, row);
    data_ = BlockData(body_);

    setObjectName(QStringLiteral("BlockView"));
    setModal(false);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("Block View: row %1").arg(index + 1));
    // Wide enough for a hex line (about 80 characters) in the font chosen, within the screen.
    const int lineWidth = QFontMetrics(font_).horizontalAdvance(QString(82, QLatin1Char('0')));
    const int screenWidth = owner.screen() != nullptr
                                ? owner.screen()->availableGeometry().width() * 9 / 10
                                : kMinimumWidth;
    resize(std::max(kMinimumWidth, std::min(lineWidth + 60, screenWidth)), 420);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(tabs_);

    const CatalogueRow* header = HeaderBefore(table, index);
    for (const BlockViewKind view : BlockViewsFor(table, index)) {
        switch (view) {
            case BlockViewKind::Hex: {
                HexLayout hex;
                hex.loadAddress = LoadAddress(table, index);
                AddTextTab(QStringLiteral("Hex"),
                           [this, hex] { return Joined(HexLines(body_, hex)); });
                break;
            }
            case BlockViewKind::Disassembly:
                if (const auto address = LoadAddress(table, index)) {
                    AddTextTab(QStringLiteral("Disassembly"),
                               [this, at = *address] { return DisassemblyText(data_, at); });
                } else {
                    AddDisassemblyFromAddress();
                }
                break;
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
                AddTextTab(QStringLiteral("Array"),
                           [this, characters = IsDataOf(row, kCharacterArrayDataTipo),
                            nameByte = header != nullptr && header->Start
                                           ? std::uint8_t(*header->Start >> 8)
                                           : std::uint8_t{0}] {
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
    AddScreenTab(*tabs_, tape, row);
}

QPlainTextEdit* BlockView::AddTextTab(const QString& title, std::function<QString()> text,
                                      std::function<void(QPlainTextEdit&)> decorate) {
    auto* edit = new QPlainTextEdit;
    edit->setObjectName(title);
    edit->setReadOnly(true);
    edit->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    edit->setFont(font_);
    unfilled_.emplace(edit, Filling{std::move(text), std::move(decorate)});
    const int index = tabs_->addTab(edit, title);
    if (index == tabs_->currentIndex()) FillTab(index);
    return edit;
}

void BlockView::FillTab(int index) {
    auto* edit = qobject_cast<QPlainTextEdit*>(tabs_->widget(index));
    const auto found = unfilled_.find(edit);
    if (found == unfilled_.end()) return;
    const Filling filling = std::move(found->second);
    unfilled_.erase(found);
    edit->setPlainText(filling.text());
    if (filling.decorate) filling.decorate(*edit);
}

// A block with no load address of its own is disassembled from the address the user types.
void BlockView::AddDisassemblyFromAddress() {
    auto* page = new QWidget;
    auto* layout = new QVBoxLayout(page);
    auto* row = new QHBoxLayout;
    address_ = new QLineEdit;
    address_->setObjectName(QStringLiteral("DisassemblyAddress"));
    address_->setPlaceholderText(QStringLiteral("32768 or 0x8000"));
    auto* button = new QPushButton(QStringLiteral("Disassemble"));
    button->setObjectName(QStringLiteral("Disassemble"));
    row->addWidget(new QLabel(QStringLiteral("Address of the first byte:")));
    row->addWidget(address_);
    row->addWidget(button);
    layout->addLayout(row);
    disassembly_ = new QPlainTextEdit;
    disassembly_->setObjectName(QStringLiteral("Disassembly"));
    disassembly_->setReadOnly(true);
    disassembly_->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    disassembly_->setLineWrapMode(QPlainTextEdit::NoWrap);
    disassembly_->setFont(font_);
    layout->addWidget(disassembly_);
    tabs_->addTab(page, QStringLiteral("Disassembly"));
    connect(button, &QPushButton::clicked, this, &BlockView::DisassembleFromTypedAddress);
    connect(address_, &QLineEdit::returnPressed, this, &BlockView::DisassembleFromTypedAddress);
}

void BlockView::DisassembleFromTypedAddress() {
    // Decimal, or hex after 0x, # or $, as Spectrum programmers write it.
    QString typed = address_->text().trimmed();
    int base = 10;
    for (const QString& prefix : {QStringLiteral("0x"), QStringLiteral("#"), QStringLiteral("$")}) {
        if (typed.startsWith(prefix, Qt::CaseInsensitive)) {
            typed.remove(0, prefix.size());
            base = 16;
        }
    }
    bool ok = false;
    const uint value = typed.toUInt(&ok, base);
    if (!ok || value > 0xFFFF) {
        disassembly_->setPlainText(
            QStringLiteral("Type an address from 0 to 65535 (0x0000 to 0xFFFF)."));
        return;
    }
    disassembly_->setPlainText(DisassemblyText(data_, static_cast<std::uint16_t>(value)));
}

void OpenBlockView(QWidget& owner, const TapeLocation& tape, const CatalogueTable& table,
                   std::size_t index) {
    // The listing pane's font, which follows the "Use Zx Spectrum Font" box.
    const auto* pane = owner.findChild<QPlainTextEdit*>(QStringLiteral("Memo1"));
    auto* view = new BlockView(owner, tape, table, index, pane != nullptr ? pane->font() : QFont());
    view->show();
}

}  // namespace brisalto
