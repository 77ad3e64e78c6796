// SPDX-License-Identifier: GPL-3.0-or-later
// Scanning speed and catalogue memory, on TAP and TZX tapes this program writes into a temporary
// folder, and the scan's limit on hostile tapes.
// Each scan is timed beside a bare loop that reads the same file whole in 64 KiB chunks, the
// least any scan must do; vs_bare is the scan's time over that loop's, measured in turns.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
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

// The small blocks again, each as a TZX standard speed block.
const BenchTape& SmallTzxTape() {
    static const BenchTape tape(
        "small.tzx", brisalto::bench::TzxFromTap(brisalto::bench::SmallBlocksTape()), 200000);
    return tape;
}

// Hostile tapes of 1 GiB, which a scan must give up on after its block limit: zeros, a block of
// length 0 every two bytes, each listed as a header; and the shortest data blocks, listed only
// with "Show Raw Blocks".
constexpr std::uint64_t kHostileSize = 1ull << 30;

const BenchTape& ZerosTape() {
    static const BenchTape tape("zeros.tap", kHostileSize, {}, kHostileSize / 2);
    return tape;
}

const BenchTape& MinimalBlocksTape() {
    static const BenchTape tape("minimal.tap", kHostileSize, {2, 0, 0xFF, 0x00}, kHostileSize / 4);
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

// Time to the damaged result, and the process's peak resident memory: run alone
// (--benchmark_filter=Hostile) for the peak to be the scan's.
void HostileTapeBench(benchmark::State& state, const BenchTape& tape, bool showRaw) {
    using Clock = std::chrono::steady_clock;
    std::size_t rows = 0;
    bool damaged = false;
    for (auto _ : state) {
        brisalto::CatalogueTable catalogue;
        const auto t0 = Clock::now();
        damaged =
            brisalto::ScanTape(tape.Path(), showRaw, catalogue) == brisalto::ScanResult::Damaged;
        state.SetIterationTime(Seconds(Clock::now() - t0));
        rows = catalogue.RowCount();
    }
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_rss_MB"] = static_cast<double>(usage.ru_maxrss) / 1024.0;
    state.counters["rows"] = static_cast<double>(rows);
    state.counters["damaged"] = damaged ? 1 : 0;
    state.counters["file_MiB"] = static_cast<double>(tape.Size()) / (1 << 20);
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
void BM_ScanSmallBlocksTzxShowRaw(benchmark::State& state) {
    ScanTapeBench(state, SmallTzxTape(), true);
}
void BM_ScanSmallBlocksTzxHeadersOnly(benchmark::State& state) {
    ScanTapeBench(state, SmallTzxTape(), false);
}
void BM_HostileZeros(benchmark::State& state) {
    HostileTapeBench(state, ZerosTape(), false);
}
void BM_HostileMinimalBlocksHeadersOnly(benchmark::State& state) {
    HostileTapeBench(state, MinimalBlocksTape(), false);
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
BENCHMARK(BM_ScanSmallBlocksTzxShowRaw)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanSmallBlocksTzxHeadersOnly)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_ScanLargeBlocksShowRaw)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareReadLargeBlocks)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileZeros)->UseManualTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_HostileMinimalBlocksHeadersOnly)->UseManualTime()->Unit(benchmark::kMillisecond);

}  // namespace
