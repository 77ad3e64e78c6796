// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include "DecodeScreen.h"
#include "FindScreen.h"

class QComboBox;
class QLabel;
class QScrollArea;
class QTabWidget;

namespace brisalto {

// A screen's picture at 1x, 2x or 3x its size, chosen in a small list above it; 2x, as the
// grid's tooltip shows it, to begin with.
class ScreenTab final : public QWidget {
    Q_OBJECT

public:
    ScreenTab(const ScreenPixels& pixels, const QString& caption);
    void SetScale(int scale);

protected:
    void showEvent(QShowEvent* event) override;

private:
    // Makes the window larger, within nine tenths of the screen, until the picture fits.
    void GrowWindowToFit();

    ScreenPixels pixels_;
    QComboBox* scale_;
    QLabel* picture_;
    QScrollArea* scroll_;
};

// Adds a "Screen" tab to tabs when the block behind row of the tape at location holds a screen
// or half of one, read now from the tape; none when the screen cannot be read.
void AddScreenTab(QTabWidget& tabs, const TapeDocument& tape, const CatalogueRow& row);

}  // namespace brisalto
