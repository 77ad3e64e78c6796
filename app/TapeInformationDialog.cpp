// SPDX-License-Identifier: GPL-3.0-or-later
#include "TapeInformationDialog.h"

#include <QDialogButtonBox>
#include <QFont>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "WindowPlacement.h"

namespace brisalto {

namespace {

constexpr int kWidth = 600;
constexpr int kHeight = 380;
constexpr int kFontPixels = 13;  // as in the listing pane

}  // namespace

TapeInformationDialog::TapeInformationDialog(const QString& text, QWidget* parent)
    : QDialog(parent) {
    auto* shown = new QPlainTextEdit(this);
    setObjectName(QStringLiteral("TapeInformation"));
    setWindowTitle(QStringLiteral("Tape Information"));
    shown->setObjectName(QStringLiteral("InformationText"));
    shown->setReadOnly(true);
    shown->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    shown->setLineWrapMode(QPlainTextEdit::NoWrap);
    // Fixed pitch, so that the archive information's names and texts line up.
    // The listing pane's face; Courier where it is missing (Wine has that one).
    QFont fixed;
    fixed.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Courier")});
    fixed.setStyleHint(QFont::TypeWriter);
    fixed.setFixedPitch(true);
    fixed.setPixelSize(kFontPixels);
    shown->setFont(fixed);
    shown->setPlainText(text);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    QPushButton* close = buttons->button(QDialogButtonBox::Close);
    close->setDefault(true);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(shown);
    layout->addWidget(buttons);
    resize(kWidth, kHeight);
    // Enter presses Close: the read-only text has no use for it.
    close->setFocus(Qt::OtherFocusReason);
}

void TapeInformationDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    PlaceOnScreen(*this, Placement::Centre);
}

}  // namespace brisalto
