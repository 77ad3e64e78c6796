// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string>
#include <string_view>

namespace brisalto {

// The core's form of a path that Qt holds (a dialog's choice): the file system's own bytes on
// POSIX, UTF-8 on Windows. A name Qt read from bytes that were not UTF-8 has already lost them;
// such paths reach the core through the command line or a drop instead.
std::string PathBytes(const QString& path);

// The file a dialog's choice stands for: PathBytes(path), unless that names no file and path
// holds U+FFFD, as a platform dialog (GTK's) gives a name that is no UTF-8. Then each such part
// of the path is the one name in its folder that shows as it does; where none does, or several
// (caf\xE9 and caf\x82 both show as caf\uFFFD), PathBytes(path) stays, and the open fails.
std::string ChosenFileBytes(const QString& path);

// A path or name of the core (a file's, an archive entry's) as the user reads it: UTF-8 as such,
// and U+FFFD for each byte that is not, so that a Latin-1 or CP437 name still shows its letters.
QString ShownName(std::string_view bytes);

// The absolute, lexically clean form of path (bytes in the core's form), a relative one taken
// from folder: "." and ".." steps and doubled separators go, whatever bytes the names hold.
std::string AbsolutePathBytes(const std::string& path, const std::string& folder);

}  // namespace brisalto
