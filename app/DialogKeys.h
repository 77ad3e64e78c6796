// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QAction;
class QDialog;
class QMenu;
class QPoint;

namespace brisalto {

// Runs a modal dialog to its end, as QDialog::exec does. A key whose press ends the dialog (Enter
// or Esc in a message box) comes up after the dialog has gone, in whatever widget then has the
// focus; that release is not passed on, since the key belonged to the dialog.
int ExecKeepingItsKeys(QDialog& dialog);
// Runs a pop-up menu at a screen position to its end, as QMenu::exec does, keeping the key that
// ends it (Enter choosing an item, Esc) in the same way. The item chosen, or nullptr.
QAction* ExecKeepingItsKeys(QMenu& menu, const QPoint& at);

}  // namespace brisalto
