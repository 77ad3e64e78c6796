// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "TapeDocument.h"

class QFont;
class QKeyEvent;
class QPlainTextEdit;
class QTabWidget;

namespace brisalto {

class CatalogueTable;

// A window of one block's views (the tabs the core says apply to its row), each a read-only text
// that can be selected and copied. It keeps the block's bytes, read once, so that a disassembly
// asked for later needs no tape. A window of its own beside the main window, which can go above
// it; the main window's child all the same, so that it goes when the main window does.
class BlockView final : public QWidget {
    Q_OBJECT

public:
    // Views row index's block of the tape document, which the view keeps: TapeChangedError
    // travels out before any window is made when the row is not a block of it. font is the
    // listing pane's.
    BlockView(QWidget& owner, std::shared_ptr<const TapeDocument> tape, const CatalogueTable& table,
              std::size_t index, const QFont& font);

    // The text panes take font, as the listing pane does when "Use Zx Spectrum Font" changes.
    void SetTextFont(const QFont& font);
    // Moves and sizes the view, not yet shown, beside owner; see BlockView.cpp.
    void Place(QWidget& owner);

protected:
    void keyPressEvent(QKeyEvent* event) override;  // Esc closes, as it would a dialog's

private:
    // A read-only text tab whose text is made by text when the tab is first shown, then given
    // its colours by decorate, if any.
    QPlainTextEdit* AddTextTab(const QString& title, std::function<QString()> text,
                               std::function<void(QPlainTextEdit&)> decorate = {});
    void FillTab(int index);
    // The Disassembly tab, from "Go to address": within the block from load where its data
    // loads there, else its first byte taken to be at the address chosen.
    void AddDisassemblyTab(std::optional<std::uint16_t> load);

    QTabWidget* tabs_;
    QFont font_;
    std::vector<std::uint8_t> body_;  // flag, data and checksum
    std::vector<std::uint8_t> data_;  // without flag and checksum
    struct Filling {
        QPlainTextEdit* edit;
        std::function<QString()> text;
        std::function<void(QPlainTextEdit&)> decorate;
    };
    std::map<QWidget*, Filling> unfilled_;  // by tab page
    int cascade_ = 0;  // steps down and away from the main window, from the first view's place
};

// Opens a Block View of table's row index beside owner and shows it; see BlockView.
void OpenBlockView(QWidget& owner, std::shared_ptr<const TapeDocument> tape,
                   const CatalogueTable& table, std::size_t index);

// Closes owner's Block Views: their rows are another tape's once a tape is read in.
void CloseBlockViews(QWidget& owner);

// Gives owner's Block Views the listing pane's font.
void RestyleBlockViews(QWidget& owner, const QFont& font);

}  // namespace brisalto
