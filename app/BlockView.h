// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <vector>

#include "TapeLocation.h"

class QFont;
class QLineEdit;
class QPlainTextEdit;
class QTabWidget;

namespace brisalto {

class CatalogueTable;

// A non-modal window of one block's views (the tabs the core says apply to its row), each a
// read-only text that can be selected and copied. It keeps the block's bytes, read once, so that
// a disassembly asked for later needs no tape.
class BlockView final : public QDialog {
    Q_OBJECT

public:
    // Reads row index's block from tape now: TapeChangedError or InOutError travel out before
    // any window is made. font is the listing pane's.
    BlockView(QWidget& owner, const TapeLocation& tape, const CatalogueTable& table,
              std::size_t index, const QFont& font);

private:
    // A read-only text tab whose text is made by text when the tab is first shown, then given
    // its colours by decorate, if any.
    QPlainTextEdit* AddTextTab(const QString& title, std::function<QString()> text,
                               std::function<void(QPlainTextEdit&)> decorate = {});
    void FillTab(int index);
    void AddDisassemblyFromAddress();
    void DisassembleFromTypedAddress();

    QTabWidget* tabs_;
    QFont font_;
    std::vector<std::uint8_t> body_;  // flag, data and checksum
    std::vector<std::uint8_t> data_;  // without flag and checksum
    struct Filling {
        std::function<QString()> text;
        std::function<void(QPlainTextEdit&)> decorate;
    };
    std::map<QPlainTextEdit*, Filling> unfilled_;
    QLineEdit* address_ = nullptr;
    QPlainTextEdit* disassembly_ = nullptr;
};

// Opens a Block View of table's row index over owner and shows it; see BlockView.
void OpenBlockView(QWidget& owner, const TapeLocation& tape, const CatalogueTable& table,
                   std::size_t index);

}  // namespace brisalto
