// Scanning speed and catalogue memory, on tapes this program writes into a temporary folder.
// Each scan is timed beside a bare loop that reads the same file whole in 64 KiB chunks, the
// least any scan must do; vs_bare is the scan's time over that loop's, measured in turns.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "BenchTapes.h"
#include "CatalogueRow.h"
#include "CatalogueTable.h"
#include "ScanTape.h"

namespace {

// Heap bytes in use, so that the catalogue's cost per row can be read off.
std::atomic<std::int64_t> liveHeapBytes{0};

}  // namespace

void* operator new(std::size_t size) {
    void* memory = std::malloc(size == 0 ? 1 : size);
    if (memory == nullptr) throw std::bad_alloc();
    liveHeapBytes.fetch_add(static_cast<std::int64_t>(::malloc_usable_size(memory)),
                            std::memory_order_relaxed);
    return memory;
}

// This operator delete is the partner of the operator new above, which GCC cannot see.
#if defined(__GNUC__) && !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"
#endif
void operator delete(void* memory) noexcept {
    if (memory == nullptr) return;
    liveHeapBytes.fetch_sub(static_cast<std::int64_t>(::malloc_usable_size(memory)),
                            std::memory_order_relaxed);
    std::free(memory);
}

void operator delete(void* memory, std::size_t) noexcept {
    operator delete(memory);
}

namespace {

using brisalto::bench::BenchTape;

const BenchTape& SmallTape() {
    static const BenchTape tape("small.tap", brisalto::bench::SmallBlocksTape(), 200000);
    return tape;
}

const BenchTape& LargeTape() {
    static const BenchTape tape("large.tap", brisalto::bench::LargeBlocksTape(),
                                (32u << 20) / 65537);
    return tape;
}

// The bare loop: the whole file in 64 KiB reads, nothing else.
std::size_t ReadWhole(const std::string& path) {
    static std::array<std::uint8_t, 64 * 1024> chunk;
    const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (descriptor < 0) throw std::runtime_error("cannot open " + path);
    std::size_t total = 0;
    for (ssize_t got; (got = ::read(descriptor, chunk.data(), chunk.size())) > 0;) {
        total += static_cast<std::size_t>(got);
    }
    ::close(descriptor);
    return total;
}

double Seconds(std::chrono::steady_clock::duration duration) {
    return std::chrono::duration<double>(duration).count();
}

// Processor time of this thread, page faults included: on a busy shared machine it shows the
// scan's own cost when the wall clock also counts other programs' turns.
double ThreadCpuSeconds() {
    timespec now{};
    ::clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

void SetRateCounters(benchmark::State& state, const BenchTape& tape) {
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * tape.Size()));
    state.counters["blocks/s"] = benchmark::Counter(static_cast<double>(tape.Blocks()),
                                                    benchmark::Counter::kIsIterationInvariantRate);
}

// Heap held by a catalogue of this tape, per row, vector slack included.
double HeapPerRow(const BenchTape& tape, bool showRaw) {
    const std::int64_t before = liveHeapBytes.load();
    brisalto::CatalogueTable catalogue;
    brisalto::ScanTape(tape.Path(), showRaw, catalogue);
    const std::int64_t held = liveHeapBytes.load() - before;
    return catalogue.RowCount() == 0
               ? 0.0
               : static_cast<double>(held) / static_cast<double>(catalogue.RowCount());
}

enum class Catalogue {
    Fresh,   // as on the first scan after start-up: the table's growth counts
    Reused,  // as on a later scan in the same window: the table keeps its room
};

void ScanTapeBench(benchmark::State& state, const BenchTape& tape, bool showRaw,
                   Catalogue use = Catalogue::Fresh) {
    using Clock = std::chrono::steady_clock;
    double scanSeconds = 0;
    double bareSeconds = 0;
    double scanCpuSeconds = 0;
    std::size_t rows = 0;
    brisalto::CatalogueTable reused;
    if (use == Catalogue::Reused) brisalto::ScanTape(tape.Path(), showRaw, reused);
    for (auto _ : state) {
        const auto t0 = Clock::now();
        benchmark::DoNotOptimize(ReadWhole(tape.Path()));
        const auto t1 = Clock::now();
        brisalto::CatalogueTable fresh;
        brisalto::CatalogueTable& catalogue = use == Catalogue::Fresh ? fresh : reused;
        const double cpu1 = ThreadCpuSeconds();
        benchmark::DoNotOptimize(brisalto::ScanTape(tape.Path(), showRaw, catalogue));
        scanCpuSeconds += ThreadCpuSeconds() - cpu1;
        const auto t2 = Clock::now();
        state.SetIterationTime(Seconds(t2 - t1));
        bareSeconds += Seconds(t1 - t0);
        scanSeconds += Seconds(t2 - t1);
        rows = catalogue.RowCount();
    }
    SetRateCounters(state, tape);
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["scan_cpu_ms"] =
        1e3 * scanCpuSeconds /
        static_cast<double>(std::max<benchmark::IterationCount>(state.iterations(), 1));
    state.counters["vs_bare"] = bareSeconds > 0 ? scanSeconds / bareSeconds : 0;
    state.counters["row_bytes"] = static_cast<double>(sizeof(brisalto::CatalogueRow));
    state.counters["heap_per_row"] = HeapPerRow(tape, showRaw);
}

void BareReadBench(benchmark::State& state, const BenchTape& tape) {
    for (auto _ : state) benchmark::DoNotOptimize(ReadWhole(tape.Path()));
    SetRateCounters(state, tape);
}

void BM_ScanSmallBlocksShowRaw(benchmark::State& state) {
    ScanTapeBench(state, SmallTape(), true);
}
void BM_ScanSmallBlocksShowRawReused(benchmark::State& state) {
    ScanTapeBench(state, SmallTape(), true, Catalogue::Reused);
}
void BM_ScanSmallBlocksHeadersOnly(benchmark::State& state) {
    ScanTapeBench(state, SmallTape(), false);
}
void BM_BareReadSmallBlocks(benchmark::State& state) {
    BareReadBench(state, SmallTape());
}
void BM_ScanLargeBlocksShowRaw(benchmark::State& state) {
    ScanTapeBench(state, LargeTape(), true);
}
void BM_BareReadLargeBlocks(benchmark::State& state) {
    BareReadBench(state, LargeTape());
}

BENCHMARK(BM_ScanSmallBlocksShowRaw)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanSmallBlocksShowRawReused)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanSmallBlocksHeadersOnly)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReadSmallBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanLargeBlocksShowRaw)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReadLargeBlocks)->Unit(benchmark::kMillisecond);

}  // namespace
