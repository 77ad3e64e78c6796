// SPDX-License-Identifier: GPL-3.0-or-later
#include "RecordingProgressDialog.h"

#include <QProgressDialog>

#include <algorithm>

namespace brisalto {

namespace {

constexpr int kSteps = 1000;
int showAfter = 500;  // milliseconds

}  // namespace

RecordingProgressDialog::RecordingProgressDialog(QWidget* owner) : owner_(owner) {}

RecordingProgressDialog::~RecordingProgressDialog() = default;

void RecordingProgressDialog::SetShowAfter(int milliseconds) noexcept {
    showAfter = milliseconds;
}

RecordingProgress RecordingProgressDialog::Progress() {
    return [this](double fraction) { return Show(fraction); };
}

bool RecordingProgressDialog::Show(double fraction) {
    if (!dialog_) {
        dialog_ = std::make_unique<QProgressDialog>(
            QStringLiteral("Reading the tape from the recording…"), QStringLiteral("Cancel"), 0,
            kSteps, owner_);
        dialog_->setObjectName(QStringLiteral("RecordingProgress"));
        dialog_->setWindowTitle(QStringLiteral("Brisalto"));
        dialog_->setWindowModality(Qt::WindowModal);
        dialog_->setMinimumDuration(showAfter);
        dialog_->setAutoClose(false);
        dialog_->setAutoReset(false);
    }
    // Shown, the dialog handles the window's events at each value, Cancel among them.
    dialog_->setValue(std::clamp(static_cast<int>(fraction * kSteps), 0, kSteps));
    return !dialog_->wasCanceled();
}

}  // namespace brisalto
