// SPDX-License-Identifier: GPL-3.0-or-later
// "Play From Here" through the real row menu, on a sound device the test pulls from: the block
// sounding named and its row marked while the current row stays put, Pause and Resume, the
// tape's stop block that waits for "Play Next Block", Stop, and the refusals that open no
// player.
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>

#include <array>
#include <functional>

#include "FakeSoundInput.h"
#include "PlayerWindow.h"
#include "RowMenuFixture.h"
#include "SoundOutput.h"
#include "TzxBuilder.h"

namespace brisalto::testing {
namespace {

const QString kPlay = QStringLiteral("Play From Here");

// What the test's sound device was told, and what it pulled.
struct DeviceLog {
    QIODevice* source = nullptr;
    int starts = 0;
    bool paused = false;
    bool stopped = false;
    bool dry = false;  // the last pull got nothing
    std::uint64_t pulled = 0;
};

// A sound device that plays only what the test pulls, as fast as it pulls it.
class PulledOutput final : public SoundOutput {
public:
    explicit PulledOutput(DeviceLog& log) : log_(log) {}
    void Start(QIODevice& source) override {
        log_.source = &source;
        log_.stopped = false;
        log_.dry = false;
        ++log_.starts;
    }
    void Pause() override { log_.paused = true; }
    void Resume() override { log_.paused = false; }
    void Stop() override {
        log_.source = nullptr;
        log_.stopped = true;
    }
    std::uint64_t PlayedSamples() const override { return log_.pulled; }
    bool Idle() const override { return log_.dry; }
    bool Failed() const override { return false; }

private:
    DeviceLog& log_;
};

class Player : public RowMenuFixture {
protected:
    void SetUp() override {
        RowMenuFixture::SetUp();
        SetSoundOutputMaker([this](SoundFormat) { return std::make_unique<PulledOutput>(log_); });
        // Two parts of a header and its data each, with a stop block between them.
        const Bytes part1 = TapeBuilder().Header(3, "one", 3, 32768).Data({1, 2, 3}).Get();
        const Bytes part2 = TapeBuilder().Header(3, "two", 2, 40000).Data({4, 5}).Get();
        parts_ = std::make_unique<TempTape>(
            TzxBuilder().FromTap(part1).Raw({0x20, 0x00, 0x00}).FromTap(part2).Get(), "two.tzx");
        Open(parts_->Path());
        ASSERT_EQ(GridRows(), 4);
    }
    void TearDown() override { SetSoundOutputMaker(nullptr); }

    void Play(int row) {
        const MenuWatcher watcher([](QMenu& menu) { ChooseItem(menu, kPlay); });
        RightClick(row);
        ASSERT_EQ(watcher.Shown(), 1);
        player_ = nullptr;
        for (PlayerWindow* player : form.findChildren<PlayerWindow*>()) {
            if (player->isVisible()) player_ = player;
        }
    }
    // Pulls up to count samples, as a device playing them would; fewer where the tape stops.
    void Pull(std::uint64_t count) {
        std::array<char, 4096> piece{};
        while (log_.source != nullptr && count > 0) {
            const auto read = log_.source->read(
                piece.data(), static_cast<qint64>(std::min<std::uint64_t>(piece.size(), count)));
            log_.dry = read <= 0;
            if (log_.dry) break;
            log_.pulled += static_cast<std::uint64_t>(read);
            count -= static_cast<std::uint64_t>(read);
        }
    }
    template <typename Widget>
    Widget& Part(const char* name) {
        auto* widget = player_->findChild<Widget*>(QString::fromLatin1(name));
        EXPECT_NE(widget, nullptr) << name;
        return *widget;
    }
    QString Text(const char* label) { return Part<QLabel>(label).text(); }
    void Click(const char* button) {
        QTest::mouseClick(&Part<QPushButton>(button), Qt::LeftButton);
    }
    bool Shows(const QString& state) {
        return QTest::qWaitFor([&] { return Text("PlayerState") == state; }, 2000);
    }
    bool Marked(int row) {
        return QTest::qWaitFor([&] { return form.DataSource1->PlayingRow() == row; }, 2000);
    }
    bool Painted(int row) {
        return Grid().model()->index(row, 1).data(Qt::BackgroundRole).isValid();
    }

    DeviceLog log_;
    std::unique_ptr<TempTape> parts_;
    QPointer<PlayerWindow> player_;
};

TEST_F(Player, MarksTheRowSoundingWaitsAtTheStopBlockAndPlaysOnWhenAsked) {
    Play(0);
    ASSERT_NE(player_, nullptr);
    EXPECT_TRUE(player_->isVisible());
    EXPECT_EQ(Text("PlayerBlock"), QStringLiteral("Row 1: Bytes \u201Cone\u201D"));
    // The total, counted beside the sound, shows once counted: 18 seconds of tape, two seconds'
    // lead-in before each part and a second's drain at the stop.
    EXPECT_TRUE(QTest::qWaitFor(
        [this] { return Text("PlayerTime") == QStringLiteral("0:00 / 0:23"); }, 2000))
        << Text("PlayerTime").toStdString();
    EXPECT_TRUE(Painted(0));
    EXPECT_FALSE(Painted(1));
    // The user moves on in the grid: the marking does not follow, nor moves the current row.
    form.DataSource1->MoveTo(3);
    const QString listing = Pane();

    Pull(UINT64_MAX);
    ASSERT_TRUE(Shows(QStringLiteral("The tape stops here: Play Next Block goes on")));
    EXPECT_TRUE(Marked(1));
    EXPECT_TRUE(Text("PlayerBlock").startsWith(QStringLiteral("Row 2: ")));
    EXPECT_TRUE(Painted(1));
    EXPECT_FALSE(Painted(0));
    EXPECT_EQ(CurrentRow(), 3);
    EXPECT_TRUE(Part<QPushButton>("PlayerNext").isEnabled());
    EXPECT_FALSE(Part<QPushButton>("PlayerPause").isEnabled());
    const int progressAtStop = Part<QProgressBar>("PlayerProgress").value();
    EXPECT_GT(progressAtStop, 0);
    EXPECT_LT(progressAtStop, 1000);

    Click("PlayerNext");
    EXPECT_EQ(log_.starts, 2);
    Pull(3 * 44'100);  // the lead-in after the stop, then the next part's first block
    EXPECT_TRUE(Marked(2));
    EXPECT_EQ(Text("PlayerBlock"), QStringLiteral("Row 3: Bytes \u201Ctwo\u201D"));
    Click("PlayerPause");
    EXPECT_TRUE(log_.paused);
    EXPECT_EQ(Part<QPushButton>("PlayerPause").text().remove('&'), QStringLiteral("Resume"));
    EXPECT_TRUE(Shows(QStringLiteral("Paused")));
    Click("PlayerPause");
    EXPECT_FALSE(log_.paused);
    EXPECT_EQ(Part<QPushButton>("PlayerPause").text().remove('&'), QStringLiteral("Pause"));

    Pull(UINT64_MAX);
    ASSERT_TRUE(Shows(QStringLiteral("Finished")));
    EXPECT_EQ(form.DataSource1->PlayingRow(), -1);
    EXPECT_EQ(Part<QProgressBar>("PlayerProgress").value(), 1000);
    const QStringList times = Text("PlayerTime").split(QStringLiteral(" / "));
    ASSERT_EQ(times.size(), 2);
    EXPECT_EQ(times[0], times[1]);
    EXPECT_EQ(CurrentRow(), 3);
    EXPECT_EQ(Pane(), listing);
    EXPECT_TRUE(dialogs.failures.empty());
}

TEST_F(Player, StopSilencesItAndTakesTheMarkAwayAndANewPlayerClosesTheLast) {
    Play(0);
    const QPointer<PlayerWindow> first = player_;
    Play(2);
    ASSERT_NE(player_, nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&first] { return first.isNull(); }, 2000));
    EXPECT_EQ(form.findChildren<PlayerWindow*>().size(), 1);
    EXPECT_EQ(log_.starts, 2);
    EXPECT_TRUE(Marked(2));
    Pull(1000);
    Click("PlayerStop");
    EXPECT_TRUE(log_.stopped);
    EXPECT_EQ(Text("PlayerState"), QStringLiteral("Stopped"));
    EXPECT_EQ(form.DataSource1->PlayingRow(), -1);
    EXPECT_FALSE(Painted(2));
    EXPECT_FALSE(Part<QPushButton>("PlayerPause").isEnabled());
}

// A tape played into the sound input and recorded: once the recording is the open tape, the
// player done with the tape before goes, and the recording plays like any open tape.
TEST_F(Player, ATapeRecordedAfterAPlayerFinishedPlaysInAPlayerOfItsOwn) {
    Play(0);
    const QPointer<PlayerWindow> before = player_;
    Pull(UINT64_MAX);
    ASSERT_TRUE(Shows(QStringLiteral("The tape stops here: Play Next Block goes on")));
    Click("PlayerNext");
    Pull(UINT64_MAX);
    ASSERT_TRUE(Shows(QStringLiteral("Finished")));

    const FakeSoundInputs inputs(TapeSamples(parts_->Path()));
    RecordThroughWindow(form);
    ASSERT_EQ(GridRows(), 4);
    EXPECT_TRUE(QTest::qWaitFor([&before] { return before.isNull(); }, 2000));

    Play(0);
    ASSERT_NE(player_, nullptr);
    EXPECT_EQ(Text("PlayerBlock"), QStringLiteral("Row 1: Bytes \u201Cone\u201D"));
    EXPECT_EQ(Text("PlayerState"), QStringLiteral("Playing"));
    EXPECT_TRUE(Part<QPushButton>("PlayerPause").isEnabled());
    EXPECT_TRUE(Part<QPushButton>("PlayerStop").isEnabled());
    Pull(44'100);
    EXPECT_GT(log_.pulled, 0u);
}

// Esc closes the player as it would a dialog, and with it the sound and the mark.
TEST_F(Player, EscClosesIt) {
    Play(0);
    ASSERT_NE(player_, nullptr);
    SystemKey(*player_, QEvent::KeyPress, Qt::Key_Escape);
    EXPECT_TRUE(QTest::qWaitFor([this] { return player_.isNull(); }, 2000));
    EXPECT_TRUE(log_.stopped);
    EXPECT_EQ(form.DataSource1->PlayingRow(), -1);
}

// The row sounding is amber also while it is the current row of the focused grid, with the
// selection's colour above and below it: the selection's fill once hid the amber.
TEST_F(Player, TheCurrentRowSoundingShowsAmberAndTheSelection) {
    Play(0);
    ASSERT_NE(player_, nullptr);
    ASSERT_EQ(CurrentRow(), 0);
    QApplication::setActiveWindow(&form);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&form));
    Grid().setFocus();
    ASSERT_TRUE(Painted(0));
    const QImage grid = Grid().viewport()->grab().toImage();
    const QRect cell = Grid().visualRect(Grid().model()->index(0, 1));
    const QPoint inside(cell.left() + 3, cell.center().y());
    EXPECT_EQ(grid.pixelColor(inside), QColor::fromRgba(CatalogueModel::kPlayingColour));
    EXPECT_EQ(grid.pixelColor(cell.left() + 3, cell.top()),
              Grid().palette().color(QPalette::Active, QPalette::Highlight));
}

// With raw blocks hidden the grid lists the headers only: while a header's data block sounds,
// the header's row stays marked.
TEST_F(Player, AnUnlistedDataBlockLeavesItsHeadersRowMarked) {
    form.ChkShowRaw->setChecked(false);
    Open(parts_->Path());
    ASSERT_EQ(GridRows(), 2);
    Play(0);
    ASSERT_NE(player_, nullptr);
    Pull(UINT64_MAX);
    ASSERT_TRUE(Shows(QStringLiteral("The tape stops here: Play Next Block goes on")));
    EXPECT_EQ(form.DataSource1->PlayingRow(), 0);
    EXPECT_EQ(Text("PlayerBlock"), QStringLiteral("Row 1: Bytes \u201Cone\u201D"));
    Click("PlayerNext");
    Pull(3 * 44'100);  // the two seconds' lead-in, then the next header
    EXPECT_TRUE(Marked(1));
    EXPECT_EQ(Text("PlayerBlock"), QStringLiteral("Row 2: Bytes \u201Ctwo\u201D"));
}

// Without a sound device, or for a sound of more than two hours, the failure display says so
// and no player opens.
TEST_F(Player, RefusalsOpenNoPlayer) {
    SetSoundOutputMaker([](SoundFormat) { return std::unique_ptr<SoundOutput>(); });
    Play(0);
    EXPECT_EQ(player_, nullptr);
    ASSERT_EQ(dialogs.failures.size(), 1u);
    EXPECT_EQ(dialogs.failures.back(),
              QStringLiteral("There is no sound device to play the tape on."));

    TzxBuilder tzx;
    tzx.Body(WithChecksum({0xFF, 1, 2, 3}));
    tzx.Raw({0x24, 7, 0, 0x12, 0xFF, 0xFF, 0xFF, 0xFF, 0x25});  // seven tones of 20 minutes
    const TempTape longTape(tzx.Get(), "long.tzx");
    Open(longTape.Path());
    SetSoundOutputMaker([this](SoundFormat) { return std::make_unique<PulledOutput>(log_); });
    Play(0);
    // Counted within a moment, the sound is refused before it plays; on a slow machine the
    // player may start first, and then stops and closes with the same message.
    ASSERT_TRUE(QTest::qWaitFor([this] { return dialogs.failures.size() == 2; }, 5000));
    EXPECT_TRUE(dialogs.failures.back().contains(QStringLiteral("more than 120 minutes")))
        << dialogs.failures.back().toStdString();
    EXPECT_TRUE(QTest::qWaitFor([this] { return player_.isNull(); }, 2000));
    EXPECT_EQ(form.findChildren<PlayerWindow*>().size(), 0);
}

}  // namespace
}  // namespace brisalto::testing
