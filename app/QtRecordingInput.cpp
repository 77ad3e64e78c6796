// SPDX-License-Identifier: GPL-3.0-or-later
// The recorder's sound input through Qt Multimedia, where the Qt build has it (Linux).
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QMediaDevices>

#include <cstdint>
#include <cstring>

#include "RecordingInput.h"

namespace brisalto {

namespace {

// Qt Multimedia's source on an input device, read as it fills.
class QtRecordingInput final : public RecordingInput {
public:
    QtRecordingInput(const QAudioDevice& device, const QAudioFormat& format)
        : source_(device, format), float_(format.sampleFormat() == QAudioFormat::Float) {
        // A buffer of a tenth of a second: the level and the blocks follow the sound closely.
        source_.setBufferSize(format.bytesForDuration(100'000));
        buffer_ = source_.start();
    }
    ~QtRecordingInput() override { source_.stop(); }
    QtRecordingInput(const QtRecordingInput&) = delete;
    QtRecordingInput& operator=(const QtRecordingInput&) = delete;

    void Take(std::vector<float>& samples) override {
        if (buffer_ == nullptr) return;
        const QByteArray bytes = buffer_->readAll();
        const char* at = bytes.constData();
        if (float_) {
            for (qsizetype i = 0; i + 4 <= bytes.size(); i += 4) {
                float sample = 0;
                std::memcpy(&sample, at + i, sizeof sample);
                samples.push_back(sample);
            }
        } else {
            for (qsizetype i = 0; i + 2 <= bytes.size(); i += 2) {
                std::int16_t sample = 0;
                std::memcpy(&sample, at + i, sizeof sample);
                samples.push_back(static_cast<float>(sample) / 32768.0f);
            }
        }
    }
    bool Failed() const override {
        return buffer_ == nullptr || source_.error() == QAudio::OpenError ||
               source_.error() == QAudio::IOError || source_.error() == QAudio::FatalError;
    }

private:
    QAudioSource source_;
    bool float_;
    QIODevice* buffer_ = nullptr;  // the source's
};

}  // namespace

std::vector<SoundInputDevice> PlatformSoundInputs() {
    std::vector<SoundInputDevice> inputs;
    for (const QAudioDevice& device : QMediaDevices::audioInputs())
        inputs.push_back({QString::fromUtf8(device.id()), device.description()});
    return inputs;
}

std::unique_ptr<RecordingInput> MakePlatformRecordingInput(unsigned rate, const QString& id) {
    QAudioDevice device = QMediaDevices::defaultAudioInput();
    for (const QAudioDevice& input : QMediaDevices::audioInputs()) {
        if (!id.isEmpty() && QString::fromUtf8(input.id()) == id) device = input;
    }
    if (device.isNull()) return nullptr;
    QAudioFormat format;
    format.setSampleRate(static_cast<int>(rate));
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Float);
    if (!device.isFormatSupported(format)) format.setSampleFormat(QAudioFormat::Int16);
    return std::make_unique<QtRecordingInput>(device, format);
}

}  // namespace brisalto
