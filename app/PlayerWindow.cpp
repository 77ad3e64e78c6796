// SPDX-License-Identifier: GPL-3.0-or-later
#include "PlayerWindow.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QIODevice>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>
#include <span>
#include <string>
#include <utility>

#include "CatalogueTable.h"
#include "FailureText.h"
#include "FormDialogs.h"
#include "SaveActions.h"
#include "SoundError.h"
#include "TapeSoundBytes.h"
#include "TapeText.h"

namespace brisalto {

// The samples of a playback for a sound device that pulls them: made as they are read.
class PlaybackDevice final : public QIODevice {
public:
    PlaybackDevice(TapePlayback& playback, QObject* parent)
        : QIODevice(parent), playback_(playback) {
        open(QIODevice::ReadOnly);
    }
    bool isSequential() const override { return true; }

protected:
    qint64 readData(char* data, qint64 maxSize) override {
        if (maxSize <= 0) return 0;
        const std::span<std::uint8_t> out(reinterpret_cast<std::uint8_t*>(data),
                                          static_cast<std::size_t>(maxSize));
        // Nothing may cross the sound device's call: a signal past limits ends the sound.
        try {
            return static_cast<qint64>(playback_.Read(out));
        } catch (const SoundError& failure) {
            if (!failure_) failure_ = failure.what();
            return 0;
        }
    }
    qint64 writeData(const char*, qint64) override { return -1; }

public:
    // Why the sound ended early, if it did.
    const std::optional<std::string>& Failure() const noexcept { return failure_; }

private:
    TapePlayback& playback_;
    std::optional<std::string> failure_;
};

namespace {

constexpr int kTickMilliseconds = 50;
// How long the sound waits for its count before it starts anyway: long enough for the tapes of
// a quarter of an hour or so, whose refusals then come before any sound, short enough to start
// at once.
constexpr std::chrono::milliseconds kCountBeforeSound{50};
constexpr int kProgressSteps = 1000;

QString Clock(std::uint64_t samples, unsigned rate) {
    const std::uint64_t seconds = samples / std::max(rate, 1u);
    const auto minutes = static_cast<unsigned>(seconds / 60 % 60);
    const auto hours = static_cast<unsigned>(seconds / 3600);
    const auto secs = static_cast<unsigned>(seconds % 60);
    if (hours > 0) {
        return QStringLiteral("%1:%2:%3")
            .arg(hours)
            .arg(minutes, 2, 10, QLatin1Char('0'))
            .arg(secs, 2, 10, QLatin1Char('0'));
    }
    return QStringLiteral("%1:%2").arg(minutes).arg(secs, 2, 10, QLatin1Char('0'));
}

QString RowName(const CatalogueTable& table, std::size_t index) {
    const CatalogueRow& row = table.Row(index);
    QString name = QStringLiteral("Row %1: %2").arg(index + 1).arg(TapeText(row.TipoStr.View()));
    if (!row.Name.IsNull())
        name += QStringLiteral(" \u201C%1\u201D").arg(TapeText(row.Name.View()).trimmed());
    return name;
}

}  // namespace

void PlayFromHere(const RowOfTape& row, CatalogueModel& model) {
    // One sound at a time.
    for (PlayerWindow* player : row.owner.findChildren<PlayerWindow*>()) player->close();

    TapeSoundBytes bytes = ReadTapeSoundBytesAt(row.document, row.table.Row(row.index).Position);
    const SoundFormat format;
    std::future<std::uint64_t> counting = std::async(
        std::launch::async, [copy = bytes, format] { return CountPlaybackSamples(copy, format); });
    std::optional<std::uint64_t> total;
    if (counting.wait_for(kCountBeforeSound) == std::future_status::ready) total = counting.get();
    auto playback = std::make_unique<TapePlayback>(std::move(bytes), format);
    std::unique_ptr<SoundOutput> output = MakeSoundOutput(format);
    if (!output) {
        row.dialogs.ShowFailure(QStringLiteral("There is no sound device to play the tape on."));
        return;
    }
    auto* player = new PlayerWindow(row.owner, row.dialogs, model, row.table, std::move(playback),
                                    std::move(output), row.index, total, std::move(counting));
    player->show();
}

PlayerWindow::PlayerWindow(QWidget& owner, FormDialogs& dialogs, CatalogueModel& model,
                           const CatalogueTable& table, std::unique_ptr<TapePlayback> playback,
                           std::unique_ptr<SoundOutput> output, std::size_t firstRow,
                           std::optional<std::uint64_t> total, std::future<std::uint64_t> counting)
    : QWidget(&owner, Qt::Window),
      dialogs_(dialogs),
      model_(&model),
      table_(table),
      playback_(std::move(playback)),
      output_(std::move(output)),
      total_(total),
      counting_(std::move(counting)),
      device_(new PlaybackDevice(*playback_, this)),
      block_(new QLabel(this)),
      time_(new QLabel(this)),
      progress_(new QProgressBar(this)),
      state_(new QLabel(this)),
      pause_(new QPushButton(QStringLiteral("&Pause"), this)),
      stop_(new QPushButton(QStringLiteral("&Stop"), this)),
      next_(new QPushButton(QStringLiteral("Play &Next Block"), this)) {
    setObjectName(QStringLiteral("Player"));
    setWindowTitle(QStringLiteral("Play From Here"));
    setAttribute(Qt::WA_DeleteOnClose);
    block_->setObjectName(QStringLiteral("PlayerBlock"));
    time_->setObjectName(QStringLiteral("PlayerTime"));
    progress_->setObjectName(QStringLiteral("PlayerProgress"));
    state_->setObjectName(QStringLiteral("PlayerState"));
    pause_->setObjectName(QStringLiteral("PlayerPause"));
    stop_->setObjectName(QStringLiteral("PlayerStop"));
    next_->setObjectName(QStringLiteral("PlayerNext"));
    progress_->setRange(0, kProgressSteps);
    progress_->setTextVisible(false);
    block_->setMinimumWidth(320);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(pause_);
    buttons->addWidget(stop_);
    buttons->addWidget(next_);
    // The time beside the bar, the state on a line of its own below: the longest state, at a
    // stop block, would run into the time beside it.
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(block_);
    auto* line = new QHBoxLayout;
    line->addWidget(progress_, 1);
    line->addWidget(time_);
    layout->addLayout(line);
    state_->setWordWrap(true);
    layout->addWidget(state_);
    layout->addLayout(buttons);

    connect(pause_, &QPushButton::clicked, this, &PlayerWindow::PauseClick);
    connect(stop_, &QPushButton::clicked, this, &PlayerWindow::StopClick);
    connect(next_, &QPushButton::clicked, this, &PlayerWindow::NextClick);
    // Another tape read into the catalogue (a recording stopped, another opened): its rows are
    // not the sound's any more. The model forgets its mark itself. A sound still going plays on;
    // a player done with its tape goes, leaving the open tape to a player of its own.
    connect(model_, &QAbstractItemModel::modelAboutToBeReset, this, [this] {
        rowsKnown_ = false;
        row_.reset();
        CloseIfDone();
    });
    connect(&tick_, &QTimer::timeout, this, &PlayerWindow::Tick);

    ShowRow(firstRow);
    Show(State::Playing);
    ShowTime(0);
    output_->Start(*device_);
    tick_.start(kTickMilliseconds);
}

PlayerWindow::~PlayerWindow() {
    tick_.stop();
    output_->Stop();
    if (model_ && row_) model_->MarkPlaying(-1);
}

void PlayerWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void PlayerWindow::closeEvent(QCloseEvent* event) {
    Halt(State::Stopped);
    QWidget::closeEvent(event);
}

void PlayerWindow::TakeCount() {
    if (!counting_.valid() ||
        counting_.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
        return;
    }
    try {
        total_ = counting_.get();
    } catch (const SoundError& failure) {
        Fail(TapeText(FailureText(failure.what())));
    }
}

// Stops for good, says why in the failure display, and closes.
void PlayerWindow::Fail(const QString& message) {
    Halt(State::Stopped);
    dialogs_.ShowFailure(message);
    close();
}

void PlayerWindow::Tick() {
    if (shown_ == State::Finished || shown_ == State::Stopped) return;
    TakeCount();
    if (shown_ == State::Stopped) return;
    if (device_->Failure()) {
        Fail(TapeText(FailureText(*device_->Failure())));
        return;
    }
    if (output_->Failed()) {
        Fail(QStringLiteral("The sound device failed while it played the tape."));
        return;
    }
    const std::uint64_t heard = std::min(output_->PlayedSamples(), playback_->SamplesMade());
    const std::optional<std::uint64_t> position = playback_->RowPositionAt(heard);
    // A block the grid does not list (a data block with raw blocks hidden) leaves the row
    // before it marked: its header's.
    if (position && rowsKnown_) {
        if (const std::optional<std::size_t> row = RowAt(*position)) ShowRow(row);
    }
    ShowTime(heard);
    // The device has played all the samples made: the tape ended, the drain after its last edge
    // too, or it stopped at a stop block.
    const bool played = heard >= playback_->SamplesMade() || output_->Idle();
    if (!played || shown_ == State::AtStop) return;
    if (playback_->Ended()) {
        total_ = playback_->SamplesMade() - DrainSamples(playback_->Format());
        Halt(State::Finished);
        ShowTime(*total_);
    } else if (playback_->AtStop()) {
        Show(State::AtStop);
    }
}

void PlayerWindow::PauseClick() {
    if (shown_ == State::Playing) {
        output_->Pause();
        Show(State::Paused);
    } else if (shown_ == State::Paused) {
        output_->Resume();
        Show(State::Playing);
    }
}

void PlayerWindow::StopClick() {
    Halt(State::Stopped);
}

void PlayerWindow::NextClick() {
    if (shown_ != State::AtStop) return;
    playback_->PassStop();
    output_->Start(*device_);
    Show(State::Playing);
}

void PlayerWindow::Halt(State state) {
    output_->Stop();
    tick_.stop();
    ShowRow(std::nullopt);
    Show(state);
}

void PlayerWindow::Show(State state) {
    shown_ = state;
    CloseIfDone();
    const bool going = state == State::Playing || state == State::Paused;
    pause_->setEnabled(going);
    pause_->setText(state == State::Paused ? QStringLiteral("&Resume") : QStringLiteral("&Pause"));
    stop_->setEnabled(going || state == State::AtStop);
    next_->setEnabled(state == State::AtStop);
    switch (state) {
        case State::Playing: state_->setText(QStringLiteral("Playing")); break;
        case State::Paused: state_->setText(QStringLiteral("Paused")); break;
        case State::AtStop:
            state_->setText(QStringLiteral("The tape stops here: Play Next Block goes on"));
            break;
        case State::Finished: state_->setText(QStringLiteral("Finished")); break;
        case State::Stopped: state_->setText(QStringLiteral("Stopped")); break;
    }
}

// Done with a tape no longer open: nothing is left to play here. Closed once the caller is
// over, so that neither a reset of the model nor a close in progress is cut into.
void PlayerWindow::CloseIfDone() {
    if (!rowsKnown_ && shown_ != State::Playing && shown_ != State::Paused)
        QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

// The total is shown once counted; until then the bar only shows that the tape plays.
void PlayerWindow::ShowTime(std::uint64_t heard) {
    const unsigned rate = playback_->Format().rate;
    // The drain after the last edge is silence the tape does not have.
    if (total_) heard = std::min(heard, *total_);
    time_->setText(Clock(heard, rate) + QStringLiteral(" / ") +
                   (total_ ? Clock(*total_, rate) : QStringLiteral("\u2026")));
    if (!total_) {
        progress_->setRange(0, 0);
        return;
    }
    progress_->setRange(0, kProgressSteps);
    const std::uint64_t total = std::max<std::uint64_t>(*total_, 1);
    progress_->setValue(static_cast<int>(std::min(heard, total) * kProgressSteps / total));
}

// Names the row and marks it in the grid; nothing: the sound is between rows no more, or done.
void PlayerWindow::ShowRow(std::optional<std::size_t> row) {
    if (row == row_ && row) return;
    row_ = row;
    if (row && *row < table_.RowCount()) block_->setText(RowName(table_, *row));
    if (model_) model_->MarkPlaying(row ? static_cast<int>(*row) : -1);
}

// The grid row of the block whose flag byte lies at position; searched from the row sounding
// last, since the sound moves on through the tape (loops and jumps go back).
std::optional<std::size_t> PlayerWindow::RowAt(std::uint64_t position) const {
    const std::size_t rows = table_.RowCount();
    const std::size_t from = row_.value_or(0);
    for (std::size_t step = 0; step < rows; ++step) {
        const std::size_t index = (from + step) % rows;
        if (table_.Row(index).Position == position && table_.Row(index).Checksum) return index;
    }
    return std::nullopt;
}

}  // namespace brisalto
