// SPDX-License-Identifier: GPL-3.0-or-later
// The disassembly of a 48 KiB code block in-process, as the block view and `disasm` ask for it:
// the instructions alone, and with each line's text. The code is a real ROM's, three times over
// (opense-basic's 16 KiB); without it, the benchmark says so and stops.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "DisassembleZ80.h"

namespace {

constexpr const char* kRom = "/usr/share/spectrum-roms/opense.rom";

std::vector<std::uint8_t> FortyEightKiB() {
    std::ifstream in(kRom, std::ios::binary);
    const std::vector<std::uint8_t> rom((std::istreambuf_iterator<char>(in)),
                                        std::istreambuf_iterator<char>());
    std::vector<std::uint8_t> code;
    if (rom.size() != 16384) return code;
    for (int copy = 0; copy < 3; ++copy) code.insert(code.end(), rom.begin(), rom.end());
    return code;
}

void BM_Disassemble48KiB(benchmark::State& state) {
    const std::vector<std::uint8_t> code = FortyEightKiB();
    if (code.empty()) {
        state.SkipWithError("no ROM at /usr/share/spectrum-roms/opense.rom (opense-basic)");
        return;
    }
    std::size_t lines = 0;
    for (auto _ : state) {
        const auto instructions = brisalto::DisassembleZ80(code, 0x4000);
        lines = instructions.size();
        benchmark::DoNotOptimize(instructions.data());
    }
    state.counters["instructions"] = double(lines);
}
BENCHMARK(BM_Disassemble48KiB)->Unit(benchmark::kMillisecond);

void BM_Disassemble48KiBAsText(benchmark::State& state) {
    const std::vector<std::uint8_t> code = FortyEightKiB();
    if (code.empty()) {
        state.SkipWithError("no ROM at /usr/share/spectrum-roms/opense.rom (opense-basic)");
        return;
    }
    for (auto _ : state) {
        std::string text;
        for (const brisalto::Z80Line& line : brisalto::DisassembleZ80(code, 0x4000)) {
            text += brisalto::Z80LineText(line);
            text += '\n';
        }
        benchmark::DoNotOptimize(text.data());
    }
}
BENCHMARK(BM_Disassemble48KiBAsText)->Unit(benchmark::kMillisecond);

}  // namespace
