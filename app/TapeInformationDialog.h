// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

namespace brisalto {

// The Tape Information dialog: a tape's summary as read-only text that the mouse and the keys
// can select and copy, and a Close button (Enter and Esc close it too).
class TapeInformationDialog final : public QDialog {
    Q_OBJECT

public:
    explicit TapeInformationDialog(const QString& text, QWidget* parent = nullptr);

protected:
    void showEvent(QShowEvent* event) override;
};

}  // namespace brisalto
