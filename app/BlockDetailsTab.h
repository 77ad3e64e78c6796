// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QWidget>
#include <memory>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <vector>

#include "BlockDetails.h"
#include "TapeDocument.h"

class QFont;
class QListView;
class QPlainTextEdit;

namespace brisalto {

class AddressField;

// The Block View's Details tab: every block of the tape in file order, listed by the grid or
// not, the block of the view's row selected and marked; the block selected shows its fields,
// its bytes in hex and (where the build has the disassembler) its data disassembled from an
// address chosen, so that blocks the grid never lists can be looked into too.
class BlockDetailsTab final : public QWidget {
    Q_OBJECT

public:
    // Lists every block of the tape document, the block whose body is at rowPosition marked.
    // rowPosition is the file position of the view's row's body.
    BlockDetailsTab(std::shared_ptr<const TapeDocument> tape, std::uint64_t rowPosition,
                    const QFont& font);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void ShowBlock(int index);
    void ShowDisassembly();

    std::shared_ptr<const TapeDocument> tape_;
    std::vector<std::optional<std::size_t>> rows_;  // each block's grid row
    QListView* blocks_ = nullptr;
    QPlainTextEdit* fields_ = nullptr;
    QPlainTextEdit* hex_ = nullptr;
    QPlainTextEdit* disassembly_ = nullptr;
    AddressField* address_ = nullptr;
    std::vector<std::uint8_t> data_;  // the selected block's data, without flag and checksum
    bool unshown_ = false;            // a block was selected while the tab was hidden
};

}  // namespace brisalto
