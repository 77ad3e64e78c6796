// SPDX-License-Identifier: GPL-3.0-or-later
// A screen row's whole tooltip as the grid asks for it: the screen read and decoded, turned
// into an image at twice its size, encoded as PNG and wrapped in rich text.
#include <benchmark/benchmark.h>

#include <QString>

#include "BenchTapes.h"
#include "CatalogueRow.h"
#include "DecodeScreen.h"
#include "FindScreen.h"
#include "RowToolTip.h"
#include "TapeDocument.h"

namespace {

void BM_ScreenRowToolTip(benchmark::State& state) {
    const brisalto::bench::ScreenTape screen = brisalto::bench::OneScreenTape();
    const brisalto::bench::BenchTape tape("screen.tap", screen.bytes, 1);

    brisalto::CatalogueRow row;
    row.Flag = 0xFF;
    row.Size = brisalto::kScreenBytes;
    row.Position = 2;
    row.Length = brisalto::kScreenBytes + 2;  // flag, data, checksum
    row.Checksum = screen.checksum;
    const brisalto::TapeLocation location(tape.Path());
    // Found once, as the grid does at its first tooltip after a scan.
    const brisalto::TapeDocument document = brisalto::ReadTapeDocument(location);
    const std::vector<brisalto::ScreenPlace> screens = brisalto::FindScreens(document.blocks);
    const brisalto::ScreenPlace* place = brisalto::ScreenOfRow(screens, row);
    for (auto _ : state) {
        const QString tip = brisalto::RowToolTip(row, &document, place);
        if (!tip.contains(QStringLiteral("<img"))) {
            state.SkipWithError("no picture");
            return;
        }
        benchmark::DoNotOptimize(tip.size());
    }
}
BENCHMARK(BM_ScreenRowToolTip)->Unit(benchmark::kMicrosecond);

}  // namespace
