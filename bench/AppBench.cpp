// SPDX-License-Identifier: GPL-3.0-or-later
// The window's own costs, offscreen: start-up to the first painted window (as a child process),
// opening a 200,000-block tape into the grid beside the bare scan, and filling the listing pane.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QPlainTextEdit>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchTapes.h"
#include "BlockView.h"
#include "CatalogueModel.h"
#include "CatalogueTable.h"
#include "FormMain.h"
#include "ScanTape.h"

extern char** environ;

namespace {

using brisalto::bench::BenchTape;
using brisalto::bench::Bytes;

// One program of `lines` typical lines: PRINT "text"; a variable; with a number's hidden form.
Bytes ProgramTape(int lines) {
    Bytes program;
    for (int line = 1; line <= lines; ++line) {
        const Bytes text = {0xF5, '"', 'H', 'e', 'l', 'l', 'o',  ',', ' ', 'w', 'o', 'r', 'l', 'd',
                            '"',  ';', 'a', '+', '1', '2', 0x0E, 0,   0,   12,  0,   0,   0x0D};
        const auto number = static_cast<std::uint16_t>(line);
        program.push_back(static_cast<std::uint8_t>(number >> 8));
        program.push_back(static_cast<std::uint8_t>(number));
        brisalto::testing::AppendWord(program, static_cast<std::uint16_t>(text.size()));
        program.insert(program.end(), text.begin(), text.end());
    }
    const auto length = static_cast<std::uint16_t>(program.size());
    return brisalto::testing::TapeBuilder()
        .ProgramHeader("bench", length, 10, length)
        .Data(program)
        .Get();
}

// Answers every open dialog with one path; failures would make the figures meaningless, and so
// would a damaged tape unless it is the point.
class FixedDialogs final : public brisalto::FormDialogs {
public:
    explicit FixedDialogs(std::string path, bool damagedExpected = false)
        : path_(QString::fromStdString(path)), damagedExpected_(damagedExpected) {}
    std::optional<QString> ExecuteOpenDialog(QWidget&,
                                             const brisalto::OpenDialogSettings&) override {
        return path_;
    }
    void ShowFailure(const QString& text) override {
        std::fprintf(stderr, "%s\n", qPrintable(text));
        std::abort();
    }
    void ShowDamagedTape(const QString&) override {
        if (!damagedExpected_) std::abort();
        ++damagedShown;
    }
    void ShowNote(const QString&) override {}
    std::optional<std::size_t> ChooseArchiveTape(
        QWidget&, const QString&, const std::vector<brisalto::ArchiveTape>&) override {
        return 0;
    }
    std::optional<QString> ExecuteSaveDialog(QWidget&,
                                             const brisalto::SaveDialogSettings&) override {
        return std::nullopt;
    }
    void ShowTapeInformation(QWidget&, const QString&) override {}
    // No figure here records from the sound input, so nothing is held unsaved.
    brisalto::UnsavedRecordingAnswer AskToSaveRecording(QWidget&) override {
        return brisalto::UnsavedRecordingAnswer::Discard;
    }

    int damagedShown = 0;

private:
    QString path_;
    bool damagedExpected_;
};

void BM_BareScanTape200000Blocks(benchmark::State& state) {
    const BenchTape tape("small.tap", brisalto::bench::SmallBlocksTape(), 200000);
    brisalto::CatalogueTable table;
    for (auto _ : state) {
        benchmark::DoNotOptimize(brisalto::ScanTape(tape.Path(), true, table));
    }
    state.counters["rows"] = static_cast<double>(table.RowCount());
}
BENCHMARK(BM_BareScanTape200000Blocks)->Unit(benchmark::kMillisecond);

// Button1Click until it returns: the scan, the grid told of all rows, the first row current.
void BM_OpenTape200000BlocksIntoGrid(benchmark::State& state) {
    const BenchTape tape("small.tap", brisalto::bench::SmallBlocksTape(), 200000);
    FixedDialogs dialogs(tape.Path());
    brisalto::TFormM form(dialogs);
    form.show();
    QApplication::processEvents();
    const bool paint = state.range(0) != 0;
    for (auto _ : state) {
        form.Button1Click();
        if (paint) QApplication::processEvents();  // and the grid's first paint
    }
    if (form.DataSource1->CurrentRow() != 0) state.SkipWithError("first row not current");
    state.counters["rows"] = form.DataSource1->rowCount();
}
BENCHMARK(BM_OpenTape200000BlocksIntoGrid)
    ->ArgName("paint")
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond);

// 1 GiB of zeros, a header row every two bytes, until the scan's block limit: Button1Click until
// the damaged-tape message, then the grid's paint, and the process's peak resident memory (run it
// alone, --benchmark_filter=Hostile, for the peak to be its own).
void BM_OpenHostileZerosIntoGrid(benchmark::State& state) {
    const BenchTape tape("zeros.tap", std::uint64_t{1} << 30, {}, std::size_t{1} << 29);
    FixedDialogs dialogs(tape.Path(), true);
    brisalto::TFormM form(dialogs);
    form.show();
    QApplication::processEvents();
    for (auto _ : state) {
        form.Button1Click();
        QApplication::processEvents();
    }
    if (dialogs.damagedShown != state.iterations()) state.SkipWithError("no damaged-tape message");
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["rows"] = form.DataSource1->rowCount();
    state.counters["current"] = form.DataSource1->CurrentRow();
}
BENCHMARK(BM_OpenHostileZerosIntoGrid)->Unit(benchmark::kMillisecond);

// A hover over a screen row as the grid asks for it: the model's data() for the tooltip, again
// and again over the same row, the picture made at the first.
void BM_HoverScreenRowToolTip(benchmark::State& state) {
    const BenchTape tape("screen.tap", brisalto::bench::OneScreenTape().bytes, 1);
    FixedDialogs dialogs(tape.Path());
    brisalto::TFormM form(dialogs);
    form.show();
    form.Button1Click();
    const QModelIndex cell = form.DataSource1->index(0, 2);
    for (auto _ : state) {
        const QString tip = cell.data(Qt::ToolTipRole).toString();
        if (!tip.contains(QStringLiteral("<img"))) {
            state.SkipWithError("no picture");
            return;
        }
        benchmark::DoNotOptimize(tip.size());
    }
}
BENCHMARK(BM_HoverScreenRowToolTip)->Unit(benchmark::kMicrosecond);

// RxDBGrid1CellClick on a 2,000-line program: clear, read, decode, fill Memo1.
void BM_FillMemo2000Lines(benchmark::State& state) {
    const BenchTape tape("program.tap", ProgramTape(2000), 2);
    FixedDialogs dialogs(tape.Path());
    brisalto::TFormM form(dialogs);
    form.show();
    form.Button1Click();
    form.DataSource1->MoveTo(1);
    QApplication::processEvents();
    for (auto _ : state) {
        form.RxDBGrid1CellClick();
        QApplication::processEvents();  // the pane's paint
    }
    state.counters["lines"] = form.Memo1->document()->blockCount();
}
BENCHMARK(BM_FillMemo2000Lines)->Unit(benchmark::kMillisecond);

// The row menu's View Block on a 48 KiB code block, until its window is drawn: the block read,
// hex, disassembly and the other views made, the window shown and painted.
void BM_OpenBlockView48KiBCode(benchmark::State& state) {
    Bytes code(48 * 1024);
    for (std::size_t i = 0; i < code.size(); ++i)
        code[i] = static_cast<std::uint8_t>(i * 37 + i / 256);
    const BenchTape tape("code.tap",
                         brisalto::testing::TapeBuilder()
                             .Header(3, "code", static_cast<std::uint16_t>(code.size()), 16384)
                             .Data(code)
                             .Get(),
                         2);
    FixedDialogs dialogs(tape.Path());
    brisalto::TFormM form(dialogs);
    form.show();
    form.Button1Click();
    QApplication::processEvents();
    const auto document = std::make_shared<const brisalto::TapeDocument>(
        brisalto::ReadTapeDocument(brisalto::TapeFileName));
    for (auto _ : state) {
        brisalto::OpenBlockView(form, document, form.TblTAPFiles, 1);
        auto* view = form.findChild<brisalto::BlockView*>();
        if (view == nullptr) {
            state.SkipWithError("no Block View");
            break;
        }
        view->repaint();
        QApplication::processEvents();
        state.PauseTiming();
        delete view;  // Qt's parent owns it; deleted here so that each opening starts afresh
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenBlockView48KiBCode)->Unit(benchmark::kMillisecond);

// Process start to the first painted window, and the probe's resident memory at that moment.
void BM_StartupToWindowShown(benchmark::State& state) {
    double residentKiB = 0;
    for (auto _ : state) {
        int pipeEnds[2];
        if (pipe(pipeEnds) != 0) {
            state.SkipWithError("pipe failed");
            return;
        }
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, pipeEnds[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, pipeEnds[0]);
        char program[] = BRISALTO_STARTUP_PROBE;
        char* arguments[] = {program, nullptr};
        const auto start = std::chrono::steady_clock::now();
        pid_t child = 0;
        const int spawned = posix_spawn(&child, program, &actions, nullptr, arguments, environ);
        posix_spawn_file_actions_destroy(&actions);
        close(pipeEnds[1]);
        if (spawned != 0) {
            close(pipeEnds[0]);
            state.SkipWithError("cannot start the probe");
            return;
        }
        FILE* output = fdopen(pipeEnds[0], "r");
        long kib = -1;
        const int read = std::fscanf(output, "shown %ld", &kib);
        const auto shown = std::chrono::steady_clock::now();
        std::fclose(output);
        int status = 0;
        waitpid(child, &status, 0);
        if (read != 1) {
            state.SkipWithError("the probe reported nothing");
            return;
        }
        state.SetIterationTime(std::chrono::duration<double>(shown - start).count());
        residentKiB = static_cast<double>(kib);
    }
    state.counters["resident_MiB"] = residentKiB / 1024.0;
}
BENCHMARK(BM_StartupToWindowShown)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char* argv[]) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    QApplication application(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
