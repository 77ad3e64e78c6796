// SPDX-License-Identifier: GPL-3.0-or-later
#include "AddressField.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>

#include <optional>

namespace brisalto {

namespace {

constexpr int kHighestAddress = 0xFFFF;

// The address text names, if any; nothing for text that is not (yet) a number.
std::optional<int> TypedAddress(const QString& text) {
    QString typed = text.trimmed();
    int base = 10;
    for (const QString& prefix : {QStringLiteral("0x"), QStringLiteral("#"), QStringLiteral("$")}) {
        if (typed.startsWith(prefix, Qt::CaseInsensitive)) {
            typed.remove(0, prefix.size());
            base = 16;
            break;
        }
    }
    bool ok = false;
    const uint value = typed.toUInt(&ok, base);
    if (!ok || value > kHighestAddress) return std::nullopt;
    return static_cast<int>(value);
}

QString AddressText(int value) {
    return QStringLiteral("0x") +
           QString::number(value, 16).toUpper().rightJustified(4, QLatin1Char('0'));
}

class AddressBox final : public QSpinBox {
public:
    using QSpinBox::QSpinBox;

protected:
    QValidator::State validate(QString& input, int&) const override {
        const QString typed = input.trimmed();
        // A prefix alone is on its way to an address; so is one outside the range as yet.
        if (typed.isEmpty() || typed.compare(QStringLiteral("0x"), Qt::CaseInsensitive) == 0 ||
            typed == QStringLiteral("#") || typed == QStringLiteral("$")) {
            return QValidator::Intermediate;
        }
        const std::optional<int> address = TypedAddress(typed);
        if (!address) return QValidator::Invalid;
        return *address >= minimum() && *address <= maximum() ? QValidator::Acceptable
                                                              : QValidator::Intermediate;
    }
    int valueFromText(const QString& text) const override {
        return TypedAddress(text).value_or(value());
    }
    QString textFromValue(int value) const override { return AddressText(value); }
};

}  // namespace

AddressField::AddressField(QWidget* parent) : QWidget(parent), box_(new AddressBox(this)) {
    box_->setObjectName(QStringLiteral("GoToAddress"));
    box_->setRange(0, kHighestAddress);
    box_->setKeyboardTracking(false);
    auto* label = new QLabel(QStringLiteral("Go to address"), this);
    label->setBuddy(box_);
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(label);
    layout->addWidget(box_);
    layout->addStretch();
    connect(box_, &QSpinBox::valueChanged, this,
            [this](int value) { emit AddressChosen(static_cast<std::uint16_t>(value)); });
}

void AddressField::SetRange(std::uint16_t first, std::uint16_t last) {
    const QSignalBlocker quiet(box_);
    box_->setRange(first, last);
    box_->setValue(first);
    box_->setToolTip(QStringLiteral("From %1 to %2: decimal, or hex after 0x, # or $")
                         .arg(AddressText(first), AddressText(last)));
}

std::uint16_t AddressField::Address() const {
    return static_cast<std::uint16_t>(box_->value());
}

}  // namespace brisalto
