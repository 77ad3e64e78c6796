// A screen row's whole tooltip as the grid asks for it: the screen read and decoded, turned
// into an image at twice its size, encoded as PNG and wrapped in rich text.
#include <benchmark/benchmark.h>

#include <QString>

#include "BenchTapes.h"
#include "CatalogueRow.h"
#include "DecodeScreen.h"
#include "RowToolTip.h"

namespace {

void BM_ScreenRowToolTip(benchmark::State& state) {
    using brisalto::bench::Bytes;
    Bytes body(brisalto::kScreenBytes + 2);
    body[0] = 0xFF;
    std::uint8_t sum = 0xFF;
    for (std::size_t i = 1; i + 1 < body.size(); ++i) {
        body[i] = static_cast<std::uint8_t>(i * 37 + i / 97);
        sum ^= body[i];
    }
    body.back() = sum;
    const Bytes contents = brisalto::testing::TapeBuilder().Block(body).Get();
    const brisalto::bench::BenchTape tape("screen.tap", contents, 1);

    brisalto::CatalogueRow row;
    row.Flag = 0xFF;
    row.Size = brisalto::kScreenBytes;
    row.Position = 2;
    row.Checksum = brisalto::BlockChecksum{sum, sum};
    const QString path = QString::fromStdString(tape.Path());
    for (auto _ : state) {
        const QString tip = brisalto::RowToolTip(row, path);
        if (!tip.contains(QStringLiteral("<img"))) {
            state.SkipWithError("no picture");
            return;
        }
        benchmark::DoNotOptimize(tip.size());
    }
}
BENCHMARK(BM_ScreenRowToolTip)->Unit(benchmark::kMicrosecond);

}  // namespace
