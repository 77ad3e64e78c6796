// SPDX-License-Identifier: GPL-3.0-or-later
// Opening a tape from a zip against opening the same bare tape (the lookup of the archive's
// tapes, then the scan), and archives that unpack to a gigabyte: refused, with the time to the
// refusal and the process's peak memory. The archives are made by zip and bsdtar.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <cstdlib>
#include <string>

#include "BenchTapes.h"
#include "CatalogueTable.h"
#include "ScanTape.h"
#include "TapeArchive.h"

namespace {

using brisalto::bench::BenchTape;

bool Run(const std::string& command) {
    return std::system(command.c_str()) == 0;
}

double PeakMegabytes() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

// What the window does with a path: the archive's tapes looked up, the first one scanned.
void Open(const std::string& path, brisalto::CatalogueTable& catalogue) {
    const brisalto::TapeFileContents contents = brisalto::FindTapes(path);
    const brisalto::TapeLocation location =
        contents.archive ? brisalto::TapeLocation(path, contents.tapes.at(0).name,
                                                  contents.tapes.at(0).index)
                         : brisalto::TapeLocation(path);
    brisalto::ScanTape(location, true, catalogue);
}

void OpenTape(benchmark::State& state, bool zipped) {
    const BenchTape tape("tape.tap", brisalto::bench::SmallBlocksTape(), 200000);
    const std::string zip = tape.Path() + ".zip";
    if (zipped && !Run("cd \"$(dirname '" + tape.Path() + "')\" && zip -q tape.tap.zip tape.tap")) {
        state.SkipWithError("zip failed");
        return;
    }
    brisalto::CatalogueTable catalogue;
    for (auto _ : state) Open(zipped ? zip : tape.Path(), catalogue);
    state.counters["rows"] = static_cast<double>(catalogue.RowCount());
    std::remove(zip.c_str());
}

void BM_OpenBareTape(benchmark::State& state) {
    OpenTape(state, false);
}
BENCHMARK(BM_OpenBareTape)->Unit(benchmark::kMillisecond);

void BM_OpenZippedTape(benchmark::State& state) {
    OpenTape(state, true);
}
BENCHMARK(BM_OpenZippedTape)->Unit(benchmark::kMillisecond);

// A gigabyte of zeros named like a tape: a zip of it is about a megabyte.
void Bomb(benchmark::State& state, const std::string& make, const std::string& name) {
    const BenchTape folder("x", {}, 0);
    const std::string at = "cd \"$(dirname '" + folder.Path() + "')\" && ";
    if (!Run(at + "head -c 1073741824 /dev/zero > bomb.tap && " + make + " && rm bomb.tap")) {
        state.SkipWithError("making the archive failed");
        return;
    }
    const std::string path = folder.Path().substr(0, folder.Path().rfind('/') + 1) + name;
    brisalto::CatalogueTable catalogue;
    for (auto _ : state) {
        try {
            Open(path, catalogue);
            state.SkipWithError("the bomb was opened");
            return;
        } catch (const brisalto::ArchiveError&) {
        }
    }
    state.counters["peak_MB"] = PeakMegabytes();
}

void BM_ZipBombRefused(benchmark::State& state) {
    Bomb(state, "zip -q bomb.zip bomb.tap", "bomb.zip");
}
BENCHMARK(BM_ZipBombRefused)->Unit(benchmark::kMillisecond)->Iterations(3);

// Streamed: the gigabyte lies before the tape, and is unpacked to walk past it.
void BM_TarGzBombRefused(benchmark::State& state) {
    Bomb(state, "cp bomb.tap bomb.bin && echo x > z.tap && bsdtar -czf bomb.tgz bomb.bin z.tap",
         "bomb.tgz");
}
BENCHMARK(BM_TarGzBombRefused)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
