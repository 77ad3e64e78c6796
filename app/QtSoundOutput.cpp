// SPDX-License-Identifier: GPL-3.0-or-later
// The player's sound through Qt Multimedia, where the Qt build has it (Linux).
#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include "SoundOutput.h"

namespace brisalto {

namespace {

// Qt Multimedia's sink on the default output device, pulling from the source.
class QtSoundOutput final : public SoundOutput {
public:
    QtSoundOutput(const QAudioDevice& device, const QAudioFormat& format)
        : device_(device), format_(format) {}

    void Start(QIODevice& source) override {
        // A new sink for each start: one that ran dry does not always ask again.
        if (sink_) Keep();
        sink_ = std::make_unique<QAudioSink>(device_, format_);
        sink_->start(&source);
    }
    void Pause() override {
        if (sink_) sink_->suspend();
    }
    void Resume() override {
        if (sink_) sink_->resume();
    }
    void Stop() override {
        if (sink_) Keep();
        sink_.reset();
    }
    std::uint64_t PlayedSamples() const override {
        if (!sink_) return played_;
        return played_ + SamplesIn(sink_->processedUSecs());
    }
    bool Idle() const override { return sink_ && sink_->state() == QAudio::IdleState; }
    bool Failed() const override {
        return sink_ && (sink_->error() == QAudio::OpenError || sink_->error() == QAudio::IOError ||
                         sink_->error() == QAudio::FatalError);
    }

private:
    std::uint64_t SamplesIn(qint64 microseconds) const {
        if (microseconds <= 0) return 0;
        // Rounded: the sink's microseconds are themselves rounded from its samples.
        return (static_cast<std::uint64_t>(microseconds) *
                    static_cast<std::uint64_t>(format_.sampleRate()) +
                500'000) /
               1'000'000;
    }
    // Counts what the sink played before it goes.
    void Keep() {
        played_ += SamplesIn(sink_->processedUSecs());
        sink_->stop();
    }

    QAudioDevice device_;
    QAudioFormat format_;
    std::unique_ptr<QAudioSink> sink_;
    std::uint64_t played_ = 0;
};

}  // namespace

std::unique_ptr<SoundOutput> MakeDeviceSoundOutput(SoundFormat format) {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return nullptr;
    QAudioFormat wanted;
    wanted.setSampleRate(static_cast<int>(format.rate));
    wanted.setChannelCount(1);
    wanted.setSampleFormat(format.bits == 8 ? QAudioFormat::UInt8 : QAudioFormat::Int16);
    return std::make_unique<QtSoundOutput>(device, wanted);
}

}  // namespace brisalto
