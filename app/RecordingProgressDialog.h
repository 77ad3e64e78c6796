// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <memory>

#include "RecordingProgress.h"

class QProgressDialog;
class QWidget;

namespace brisalto {

// A progress bar with Cancel over the window while a recording decodes, shown only when the
// decoding takes longer than half a second (a tape's read never shows it). Progress() is what
// the core calls; it answers false once the user cancelled.
class RecordingProgressDialog {
public:
    explicit RecordingProgressDialog(QWidget* owner);
    ~RecordingProgressDialog();
    RecordingProgressDialog(const RecordingProgressDialog&) = delete;
    RecordingProgressDialog& operator=(const RecordingProgressDialog&) = delete;

    RecordingProgress Progress();
    // How long a decoding runs before its dialog shows, in milliseconds (500 unless set): tests
    // make it 0, as a fast machine may decode their long recordings within half a second.
    static void SetShowAfter(int milliseconds) noexcept;

private:
    bool Show(double fraction);

    QWidget* owner_;
    std::unique_ptr<QProgressDialog> dialog_;  // made at the first report
};

}  // namespace brisalto
