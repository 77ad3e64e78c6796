#pragma once

class QDialog;

namespace brisalto {

// Runs a modal dialog to its end, as QDialog::exec does. A key whose press ends the dialog (Enter
// or Esc in a message box) comes up after the dialog has gone, in whatever widget then has the
// focus; that release is not passed on, since the key belonged to the dialog.
int ExecKeepingItsKeys(QDialog& dialog);

}  // namespace brisalto
