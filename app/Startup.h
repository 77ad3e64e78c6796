#pragma once

class QApplication;

namespace brisalto {

// The application's title, version and icon; called once, before the main window is made.
void SetUpApplication(QApplication& application);

}  // namespace brisalto
