// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <optional>

class QDropEvent;

namespace brisalto {

// Takes a drag or drop that carries a local file and returns that file's path (of several, the
// first local one); refuses any other (text, other URL schemes), so that the no-drop cursor
// shows. QDragEnterEvent and QDragMoveEvent are drop events too.
std::optional<QString> TakeTapeDrag(QDropEvent& event);

}  // namespace brisalto
