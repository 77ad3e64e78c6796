// A loading screen for a tooltip: read from a tape file and decoded (the whole cost on the
// core side, asked for each time a tooltip shows), and decoded alone from memory.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <span>

#include "BenchTapes.h"
#include "ReadScreen.h"

namespace {

using brisalto::bench::Bytes;

// A header-less tape of one screen block with varied bytes; the flag lies at position 2.
struct ScreenTape {
    Bytes bytes;
    brisalto::BlockChecksum checksum;
};

ScreenTape MakeScreenTape() {
    Bytes body(brisalto::kScreenBytes + 2);
    body[0] = 0xFF;
    std::uint8_t sum = 0xFF;
    for (std::size_t i = 1; i + 1 < body.size(); ++i) {
        body[i] = static_cast<std::uint8_t>(i * 37 + i / 97);
        sum ^= body[i];
    }
    body.back() = sum;
    return {brisalto::testing::TapeBuilder().Block(body).Get(), {sum, sum}};
}

void BM_ReadAndDecodeScreen(benchmark::State& state) {
    const ScreenTape screen = MakeScreenTape();
    const brisalto::bench::BenchTape tape("screen.tap", screen.bytes, 1);
    brisalto::ScreenPixels pixels;
    for (auto _ : state) {
        if (!brisalto::ReadScreen(tape.Path(), 2, screen.checksum, pixels)) {
            state.SkipWithError("the screen could not be read");
            return;
        }
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_ReadAndDecodeScreen)->Unit(benchmark::kMicrosecond);

void BM_DecodeScreen(benchmark::State& state) {
    const ScreenTape screen = MakeScreenTape();
    const auto bytes = std::span(screen.bytes).subspan<3, brisalto::kScreenBytes>();
    brisalto::ScreenPixels pixels;
    for (auto _ : state) {
        brisalto::DecodeScreen(bytes, pixels);
        benchmark::DoNotOptimize(pixels.data());
    }
}
BENCHMARK(BM_DecodeScreen)->Unit(benchmark::kMicrosecond);

}  // namespace
