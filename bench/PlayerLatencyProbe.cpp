// SPDX-License-Identifier: GPL-3.0-or-later
// How soon "Play From Here" sounds: the time from the row menu's action to the sound device's
// first pull of samples, on the default sound device, offscreen. Prints figures; a figure, never
// a test.
//   player_latency_probe TAPE [ROW [RUNS]]
#include <QApplication>
#include <QElapsedTimer>
#include <QIODevice>

#include <algorithm>
#include <cstdio>
#include <optional>
#include <vector>

#include "FormMain.h"
#include "PlayerWindow.h"
#include "QtFormDialogs.h"
#include "SaveActions.h"
#include "SoundOutput.h"
#include "Startup.h"
#include "TapeDocument.h"

namespace {

using brisalto::SoundOutput;

// Hands the samples on, noting when the device first asks for them.
class FirstReadDevice final : public QIODevice {
public:
    FirstReadDevice(QIODevice& source, const QElapsedTimer& clock, std::optional<qint64>& first)
        : source_(source), clock_(clock), first_(first) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        const qint64 read = source_.read(data, maxSize);
        if (read > 0 && !first_) first_ = clock_.nsecsElapsed();
        return read;
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    QIODevice& source_;
    const QElapsedTimer& clock_;
    std::optional<qint64>& first_;
};

// The device's output with the source watched.
class WatchedOutput final : public SoundOutput {
public:
    WatchedOutput(std::unique_ptr<SoundOutput> inner, const QElapsedTimer& clock,
                  std::optional<qint64>& first)
        : inner_(std::move(inner)), clock_(clock), first_(first) {}
    void Start(QIODevice& source) override {
        watched_ = std::make_unique<FirstReadDevice>(source, clock_, first_);
        inner_->Start(*watched_);
    }
    void Pause() override { inner_->Pause(); }
    void Resume() override { inner_->Resume(); }
    void Stop() override { inner_->Stop(); }
    std::uint64_t PlayedSamples() const override { return inner_->PlayedSamples(); }
    bool Idle() const override { return inner_->Idle(); }
    bool Failed() const override { return inner_->Failed(); }

private:
    std::unique_ptr<SoundOutput> inner_;
    std::unique_ptr<FirstReadDevice> watched_;
    const QElapsedTimer& clock_;
    std::optional<qint64>& first_;
};

double Milliseconds(qint64 nanoseconds) {
    return double(nanoseconds) / 1e6;
}

}  // namespace

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    if (argc < 2) {
        std::fputs("usage: player_latency_probe TAPE [ROW [RUNS]]\n", stderr);
        return 2;
    }
    brisalto::SetUpApplication(application);
    brisalto::QtFormDialogs dialogs;
    brisalto::TFormM form(dialogs);
    form.show();
    form.OpenTape(QString::fromLocal8Bit(argv[1]));
    const std::size_t row = argc > 2 ? std::stoul(argv[2]) : 0;
    const int runs = argc > 3 ? std::stoi(argv[3]) : 5;
    if (form.TblTAPFiles.RowCount() <= row) {
        std::fputs("the tape has no such row\n", stderr);
        return 1;
    }

    QElapsedTimer clock;
    std::optional<qint64> first;
    brisalto::SetSoundOutputMaker(
        [&](brisalto::SoundFormat format) -> std::unique_ptr<SoundOutput> {
            std::unique_ptr<SoundOutput> device = brisalto::MakeDeviceSoundOutput(format);
            if (!device) return nullptr;
            return std::make_unique<WatchedOutput>(std::move(device), clock, first);
        });
    const brisalto::TapeDocument document = brisalto::ReadTapeDocument(brisalto::TapeFileName);
    std::vector<double> started;
    std::vector<double> sounding;
    for (int run = 0; run < runs; ++run) {
        first.reset();
        clock.start();
        brisalto::PlayFromHere(
            {form, dialogs, brisalto::TapeFileName, document, form.TblTAPFiles, row},
            *form.DataSource1);
        const qint64 returned = clock.nsecsElapsed();
        while (!first && clock.elapsed() < 5000) {
            QApplication::processEvents(QEventLoop::AllEvents, 5);
        }
        if (!first) {
            std::fputs("the sound device did not pull within 5 s\n", stderr);
            return 1;
        }
        started.push_back(Milliseconds(returned));
        sounding.push_back(Milliseconds(*first));
        for (QWidget* player : form.findChildren<brisalto::PlayerWindow*>()) player->close();
        QApplication::processEvents();
    }
    std::sort(started.begin(), started.end());
    std::sort(sounding.begin(), sounding.end());
    std::printf(
        "%d runs: player open after %.1f ms median (%.1f to %.1f); "
        "first samples pulled after %.1f ms median (%.1f to %.1f)\n",
        runs, started[started.size() / 2], started.front(), started.back(),
        sounding[sounding.size() / 2], sounding.front(), sounding.back());
    return 0;
}
