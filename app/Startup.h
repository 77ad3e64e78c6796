// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

class QApplication;

namespace brisalto {

class TFormM;

// The application's title, version and icon; called once, before the main window is made.
void SetUpApplication(QApplication& application);

// Opens the tape at path (absolute, in the core's form) in the form as soon as the event loop runs,
// that is right after the window first shows, so that a message about the tape shows over the
// window.
void OpenTapeOnceShown(TFormM& form, const std::string& path);

}  // namespace brisalto
