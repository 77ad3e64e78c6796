// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <cstdint>

class QSpinBox;

namespace brisalto {

// "Go to address" and a box for an address of the Spectrum's memory, typed in decimal or in hex
// after 0x, # or $ (as Spectrum programmers write it) and shown in hex; text that is no address
// in range is not taken. AddressChosen comes once an address is entered (Enter, an arrow key,
// leaving the box), not at every key: each one may disassemble a 48 KiB block.
class AddressField final : public QWidget {
    Q_OBJECT

public:
    explicit AddressField(QWidget* parent = nullptr);

    // The addresses that can be chosen (first <= last); first is shown, without AddressChosen.
    void SetRange(std::uint16_t first, std::uint16_t last);
    std::uint16_t Address() const;

signals:
    void AddressChosen(std::uint16_t address);

private:
    QSpinBox* box_;
};

}  // namespace brisalto
