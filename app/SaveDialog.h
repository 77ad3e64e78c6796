// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <optional>

#include "FormDialogs.h"

class QWidget;

namespace brisalto {

// Qt's save dialog for one save: it asks before replacing a file that exists and gives the full
// path chosen, or nothing when cancelled. The key that ends it does not list in the grid.
std::optional<QString> ExecSaveDialog(QWidget& owner, const SaveDialogSettings& settings);

}  // namespace brisalto
