// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

namespace brisalto {

// Qt's file dialog keeps its history and last folder under HKCU\Software\QtProject on Windows
// whenever it closes, and no choice of settings format reaches it there. Made at start-up, this
// notes how that part of the registry is; Restore() puts it back so (the dialog's values as they
// were, the keys it made deleted), leaving another Qt program's state there as that program
// left it. Elsewhere Qt's settings are kept from being written at all, and this does nothing.
class DialogStateUndo {
public:
    DialogStateUndo();
    ~DialogStateUndo();
    DialogStateUndo(const DialogStateUndo&) = delete;
    DialogStateUndo& operator=(const DialogStateUndo&) = delete;

    // Failures to read or write the registry are ignored: nothing better can be done at exit.
    void Restore() const;

private:
    struct Saved;
    std::unique_ptr<Saved> saved_;
};

}  // namespace brisalto
