// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <cstddef>
#include <cstdint>
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
class PlaybackDevice;
struct RowOfTape;

// The row menu's "Play From Here": the tape's sound from the row's block on, played on the sound
// device in a small player window beside the grid (one at a time: a new one closes the last).
// A sound past limits, or a tape the sound library refuses, travels out as SoundError; without
// a sound device the failure display says so and no window opens.
void PlayFromHere(const RowOfTape& row, CatalogueModel& model);

// The player: the block sounding (its row's number, kind and name; its row marked in the grid,
// the current row left where it is), elapsed and total time, a progress bar, Pause (Resume),
// Stop, and "Play next block" once the tape has stopped at a stop block, as a tape deck
// stops. Deletes itself when closed, stopping the sound.
class PlayerWindow final : public QWidget {
    Q_OBJECT

public:
    PlayerWindow(QWidget& owner, CatalogueModel& model, const CatalogueTable& table,
                 std::unique_ptr<TapePlayback> playback, std::unique_ptr<SoundOutput> output,
                 std::size_t firstRow);
    ~PlayerWindow() override;

private:
    enum class State { Playing, Paused, AtStop, Finished, Stopped };

    void Tick();
    void PauseClick();
    void StopClick();
    void NextClick();
    void Halt(State state);
    void Show(State state);
    void ShowTime(std::uint64_t heard);
    void ShowRow(std::optional<std::size_t> row);
    std::optional<std::size_t> RowAt(std::uint64_t position) const;

    QPointer<CatalogueModel> model_;
    const CatalogueTable& table_;
    std::unique_ptr<TapePlayback> playback_;
    std::unique_ptr<SoundOutput> output_;
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
