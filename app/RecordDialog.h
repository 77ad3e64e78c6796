// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QDialog>
#include <QTimer>

#include <cstdint>
#include <memory>
#include <vector>

#include "RecordingDecoder.h"
#include "RecordingInput.h"
#include "TapeDocument.h"

class QComboBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;

namespace brisalto {

// "Record From Sound Input…": Record starts a recording from the sound input chosen (the one
// chosen last in this run, else the system's default), with a level meter and a line for each
// block as it loads, as a Spectrum would show it, while the pause after it lasts; Stop ends it,
// decodes the rest and accepts the dialog with the tape recovered. Closing the dialog while
// recording asks first whether to discard it, and goes on recording unless told to.
class RecordDialog final : public QDialog {
    Q_OBJECT

public:
    explicit RecordDialog(QWidget& owner);
    ~RecordDialog() override;

    // The tape recovered by Stop (a TZX made in memory, named Recording.tzx in the current
    // folder); nullptr before.
    std::shared_ptr<const TapeDocument> Recovered() const { return recovered_; }

public:  // QDialog API
    void reject() override;

private:
    void Record();
    void Stop();
    void TakeSound();
    void ShowBlock(const RecoveredBlock& block);

    QLabel* state_;
    QComboBox* inputs_;
    QProgressBar* level_;
    QListWidget* blocks_;
    QPushButton* record_;
    QPushButton* stop_;
    QTimer poll_;
    std::unique_ptr<RecordingInput> input_;      // set while recording
    std::unique_ptr<RecordingDecoder> decoder_;  // set while recording
    std::vector<float> samples_;
    std::uint64_t recorded_ = 0;
    std::shared_ptr<const TapeDocument> recovered_;
};

}  // namespace brisalto
