// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QApplication>
#include <QPushButton>

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "FormMain.h"
#include "ModalWatcher.h"
#include "RecordingInput.h"
#include "RunCommand.h"
#include "SoundFileSamples.h"

namespace brisalto::testing {

// The samples of the sound the console program makes of the tape at path.
inline std::vector<float> TapeSamples(const std::string& path) {
    const std::string wav = path + ".wav";
    // Double quotes: the one quoting both sh and Windows' cmd take.
    RunCommand(std::string(BRISALTO_CONSOLE_PROGRAM) + " wav -o \"" + wav + "\" \"" + path + "\"");
    SoundFileSamples file(wav);
    std::vector<float> samples;
    for (std::span<const float> chunk = file.Next(); !chunk.empty(); chunk = file.Next())
        samples.insert(samples.end(), chunk.begin(), chunk.end());
    return samples;
}

// A sound input that hands over the samples given at its first look and, at each look after,
// half a second of silence (counted in silence): the pause after the tape goes on as long as the
// test waits.
class FakeRecordingInput final : public RecordingInput {
public:
    static constexpr double kSilencePerLook = 0.5;  // seconds

    FakeRecordingInput(std::vector<float> samples, double& silence)
        : samples_(std::move(samples)), silence_(silence) {}
    void Take(std::vector<float>& samples) override {
        if (given_) {
            samples.insert(samples.end(), 22'050, 0.0f);
            silence_ += kSilencePerLook;
            return;
        }
        samples.insert(samples.end(), samples_.begin(), samples_.end());
        given_ = true;
    }
    bool Failed() const override { return false; }

private:
    std::vector<float> samples_;
    double& silence_;
    bool given_ = false;
};

// The recorder's inputs while it lives: devices listed, and an input of samples made for any of
// them, the ids asked for noted.
class FakeSoundInputs {
public:
    explicit FakeSoundInputs(std::vector<float> samples, std::vector<SoundInputDevice> devices = {})
        : samples_(std::move(samples)) {
        SetRecordingInputs({.list = [devices] { return devices; },
                            .make =
                                [this](unsigned, const QString& id) {
                                    asked.push_back(id);
                                    silence = 0;
                                    return std::make_unique<FakeRecordingInput>(samples_, silence);
                                }});
    }
    ~FakeSoundInputs() { SetRecordingInputs({}); }
    FakeSoundInputs(const FakeSoundInputs&) = delete;
    FakeSoundInputs& operator=(const FakeSoundInputs&) = delete;

    std::vector<QString> asked;
    double silence = 0;  // seconds of it the last input made has given after the samples

private:
    std::vector<float> samples_;
};

// Presses a dialog's button by its caption.
inline void Press(QWidget& dialog, const QString& caption) {
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == caption) {
            button->click();
            return;
        }
    }
    ADD_FAILURE() << "no button " << caption.toStdString();
}

// "Record From Sound Input…" in the window: Record, then Stop at once, which takes in what the
// input holds. Any other modal window is closed.
inline void RecordThroughWindow(TFormM& form) {
    const ModalWatcher watcher({[](QWidget& recorder) {
                                   Press(recorder, QStringLiteral("&Record"));
                                   Press(recorder, QStringLiteral("&Stop"));
                               }},
                               [](QWidget& modal) { modal.close(); });
    form.RecordFromSoundInput();
}

}  // namespace brisalto::testing
