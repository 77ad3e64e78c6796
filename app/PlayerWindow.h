// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstddef>
#include <cstdint>
#include <future>
#include <memory>
#include <optional>

#include "CatalogueModel.h"
#include "SoundOutput.h"
#include "TapePlayback.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace brisalto {

class CatalogueTable;
class FormDialogs;
class PlaybackDevice;
struct RowOfTape;

// The row menu's "Play From Here": the tape's sound from the row's block on, played on the sound
// device in a small player window beside the grid (one at a time: a new one closes the last).
// The sound is counted beside the playing so that the sound starts at once whatever the tape's
// length: a tape the sound library refuses, or a sound past limits found within a moment (any
// but the longest), travels out as SoundError and no window opens; found later, the player
// stops and the failure display says why. Without a sound device the failure display says so
// and no window opens.
void PlayFromHere(const RowOfTape& row, CatalogueModel& model);

// The player: the block sounding (its row's number, kind and name; its row marked in the grid,
// the current row left where it is), elapsed and total time, a progress bar, Pause (Resume),
// Stop, and "Play next block" once the tape has stopped at a stop block, as a tape deck
// stops. Deletes itself when closed, stopping the sound. Once another tape is the open one (a
// recording stopped, another tape opened), it closes as soon as its own sound is done, so that
// the open tape is played by a player of its own.
class PlayerWindow final : public QWidget {
    Q_OBJECT

public:
    // total is the sound's length in samples when known, else counting will tell it.
    PlayerWindow(QWidget& owner, FormDialogs& dialogs, CatalogueModel& model,
                 const CatalogueTable& table, std::unique_ptr<TapePlayback> playback,
                 std::unique_ptr<SoundOutput> output, std::size_t firstRow,
                 std::optional<std::uint64_t> total, std::future<std::uint64_t> counting);
    ~PlayerWindow() override;

protected:
    // Closing stops the sound and takes the mark away at once (the window goes later).
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;  // Esc closes, as it would a dialog's

private:
    enum class State { Playing, Paused, AtStop, Finished, Stopped };

    void Tick();
    void PauseClick();
    void StopClick();
    void NextClick();
    void Halt(State state);
    void Fail(const QString& message);
    void TakeCount();
    void Show(State state);
    void CloseIfDone();
    void ShowTime(std::uint64_t heard);
    void ShowRow(std::optional<std::size_t> row);
    std::optional<std::size_t> RowAt(std::uint64_t position) const;

    FormDialogs& dialogs_;
    QPointer<CatalogueModel> model_;
    const CatalogueTable& table_;
    std::unique_ptr<TapePlayback> playback_;
    std::unique_ptr<SoundOutput> output_;
    std::optional<std::uint64_t> total_;
    std::future<std::uint64_t> counting_;  // waited for on destruction
    PlaybackDevice* device_;
    QLabel* block_;
    QLabel* time_;
    QProgressBar* progress_;
    QLabel* state_;
    QPushButton* pause_;
    QPushButton* stop_;
    QPushButton* next_;
    QTimer tick_;
    State shown_ = State::Playing;
    std::optional<std::size_t> row_;
    bool rowsKnown_ = true;  // the catalogue still lists the tape the sound was read from
};

}  // namespace brisalto
