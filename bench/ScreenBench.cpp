// SPDX-License-Identifier: GPL-3.0-or-later
// A loading screen for a tooltip: read from a tape file and decoded (the whole cost on the
// core side, asked for each time a tooltip shows), and decoded alone from memory.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <span>

#include "BenchTapes.h"
#include "ReadScreen.h"
#include "TapeDocument.h"

namespace {

void BM_ReadAndDecodeScreen(benchmark::State& state) {
    const brisalto::bench::ScreenTape screen = brisalto::bench::OneScreenTape();
    const brisalto::bench::BenchTape tape("screen.tap", screen.bytes, 1);
    brisalto::ScreenPixels pixels;
    for (auto _ : state) {
        if (!brisalto::ReadScreen(brisalto::ReadTapeDocument(tape.Path()), 2, screen.checksum,
                                  pixels)) {
            state.SkipWithError("the screen could not be read");
            return;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_ReadAndDecodeScreen)->Unit(benchmark::kMicrosecond);

void BM_DecodeScreen(benchmark::State& state) {
    const brisalto::bench::ScreenTape screen = brisalto::bench::OneScreenTape();
    const auto bytes = std::span(screen.bytes).subspan<3, brisalto::kScreenBytes>();
    brisalto::ScreenPixels pixels;
    for (auto _ : state) {
        brisalto::DecodeScreen(bytes, pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_DecodeScreen)->Unit(benchmark::kMicrosecond);

}  // namespace
