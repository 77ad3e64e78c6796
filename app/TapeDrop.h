// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>

#include <optional>
#include <string>

class QDropEvent;

namespace brisalto {

// Takes a drag or drop that carries a local file and returns that file's path in the core's form
// (of several, the first local one); refuses any other (text, other URL schemes), so that the
// no-drop cursor shows. QDragEnterEvent and QDragMoveEvent are drop events too.
std::optional<std::string> TakeTapeDrag(QDropEvent& event);

// The first local file of a text/uri-list (RFC 2483: one URI a line, "#" lines are comments) as
// its path's own bytes, percent escapes decoded to the bytes they stand for, so that a name that
// is no UTF-8 arrives whole; nothing when no line is a file: URI. A host other than localhost
// gives "//host/path", as Qt names such files.
std::optional<std::string> FirstLocalFile(const QByteArray& uriList);

}  // namespace brisalto
