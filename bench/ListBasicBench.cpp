// SPDX-License-Identifier: GPL-3.0-or-later
// Listing speed: a 41,000-byte program of about 1,500 typical lines, decoded from memory and
// listed from a tape file, each into a vector of lines. lines_per_second is the figure to
// compare with other listers; the time per run is the listing's whole cost.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "BenchTapes.h"
#include "DecodeBasicProgram.h"
#include "LineSink.h"
#include "ListBasicProgram.h"
#include "TapeDocument.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

constexpr std::size_t kProgramSize = 41000;

// Token bytes of the keywords the lines below use.
enum Token : std::uint8_t {
    kAt = 0xAC,
    kInt = 0xBA,
    kRnd = 0xA5,
    kChr = 0xC2,
    kThen = 0xCB,
    kTo = 0xCC,
    kInk = 0xD9,
    kPaper = 0xDA,
    kData = 0xE4,
    kRem = 0xEA,
    kFor = 0xEB,
    kGoTo = 0xEC,
    kGoSub = 0xED,
    kLet = 0xF1,
    kNext = 0xF3,
    kPoke = 0xF4,
    kPrint = 0xF5,
    kIf = 0xFA,
    kReturn = 0xFE,
    kBeep = 0xD7,
};

// One piece of a line: a token, plain text, or a number (digits and hidden form).
struct Piece {
    enum Kind { Keyword, Chars, Number } kind;
    std::uint8_t token = 0;
    std::string_view text = {};
    std::uint16_t value = 0;
};

Piece K(std::uint8_t token) {
    return {Piece::Keyword, token};
}
Piece T(std::string_view text) {
    return {Piece::Chars, 0, text};
}
Piece N(std::uint16_t value) {
    return {Piece::Number, 0, {}, value};
}

void AppendLine(Bytes& program, std::uint16_t number, std::initializer_list<Piece> pieces) {
    Bytes text;
    for (const Piece& piece : pieces) {
        if (piece.kind == Piece::Keyword) {
            text.push_back(piece.token);
        } else if (piece.kind == Piece::Chars) {
            text.insert(text.end(), piece.text.begin(), piece.text.end());
        } else {
            const std::string digits = std::to_string(piece.value);
            text.insert(text.end(), digits.begin(), digits.end());
            // Small integers are stored as 00 00 low high 00.
            text.insert(text.end(),
                        {0x0E, 0x00, 0x00, static_cast<std::uint8_t>(piece.value & 0xFF),
                         static_cast<std::uint8_t>(piece.value >> 8), 0x00});
        }
    }
    text.push_back(0x0D);
    program.insert(program.end(), {static_cast<std::uint8_t>(number >> 8),
                                   static_cast<std::uint8_t>(number & 0xFF),
                                   static_cast<std::uint8_t>(text.size() & 0xFF),
                                   static_cast<std::uint8_t>(text.size() >> 8)});
    program.insert(program.end(), text.begin(), text.end());
}

// Game-like lines: screen output, arithmetic, branches, loops, data and remarks, cycled until
// the program reaches its size.
Bytes TypicalProgram() {
    Bytes program;
    std::uint16_t number = 10;
    for (std::uint16_t i = 0; program.size() < kProgramSize;
         ++i, number = static_cast<std::uint16_t>(number + 5)) {
        switch (i % 10) {
            case 0:
                AppendLine(program, number,
                           {K(kPrint), K(kAt), N(i % 22), T(","), N(3), T(";\"SCORE: \";s")});
                break;
            case 1: AppendLine(program, number, {K(kLet), T("x=x+"), N(1)}); break;
            case 2:
                AppendLine(program, number,
                           {K(kIf), T("x>"), N(31), K(kThen), K(kGoTo), N(number)});
                break;
            case 3:
                AppendLine(program, number,
                           {K(kFor), T("i="), N(1), K(kTo), N(8), T(":"), K(kBeep), T("."), N(1),
                            T(",i:"), K(kNext), T("i")});
                break;
            case 4: AppendLine(program, number, {K(kRem), T(" move the player")}); break;
            case 5:
                AppendLine(program, number,
                           {K(kLet), T("y="), K(kInt), T("("), K(kRnd), T("*"), N(20), T(")")});
                break;
            case 6:
                AppendLine(program, number,
                           {K(kInk), N(4), T(":"), K(kPaper), N(0), T(":"), K(kPrint),
                            T("\"\x90\x91 \";"), K(kChr), T(" "), N(65)});
                break;
            case 7: AppendLine(program, number, {K(kGoSub), N(9000)}); break;
            case 8:
                AppendLine(program, number, {K(kData), N(12), T(","), N(200), T(","), N(7)});
                break;
            default:
                AppendLine(program, number,
                           {K(kPoke), N(23692), T(","), N(255), T(":"), K(kReturn)});
                break;
        }
    }
    return program;
}

// The bytes a listing reads: from the data block's flag for the program's length.
Bytes BlockAsRead(const Bytes& program) {
    Bytes block{0xFF};
    block.insert(block.end(), program.begin(), program.end() - 1);
    return block;
}

void ReportCounters(benchmark::State& state, std::size_t lineCount, std::size_t bytes) {
    state.counters["lines"] = static_cast<double>(lineCount);
    state.counters["program_bytes"] = static_cast<double>(bytes);
    state.counters["lines_per_second"] = benchmark::Counter(
        static_cast<double>(lineCount), benchmark::Counter::kIsIterationInvariantRate);
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * bytes));
}

void BM_DecodeBasicProgram(benchmark::State& state) {
    const Bytes program = TypicalProgram();
    const Bytes block = BlockAsRead(program);
    const auto length = static_cast<std::uint16_t>(program.size());
    std::size_t lineCount = 0;
    for (auto _ : state) {
        brisalto::LineVector lines;
        brisalto::DecodeBasicProgram(block, length, lines);
        lineCount = lines.lines.size();
        benchmark::DoNotOptimize(lines.lines.data());
    }
    ReportCounters(state, lineCount, program.size());
}
BENCHMARK(BM_DecodeBasicProgram)->Unit(benchmark::kMicrosecond);

void BM_ListBasicProgram(benchmark::State& state) {
    const Bytes program = TypicalProgram();
    // Just the flag byte and the program.
    const brisalto::bench::BenchTape tape("program.tap",
                                          brisalto::testing::Concat({{0xFF}, program}), 1);
    const std::string& path = tape.Path();
    const auto length = static_cast<std::uint16_t>(program.size());
    std::size_t lineCount = 0;
    for (auto _ : state) {
        brisalto::LineVector lines;
        brisalto::ListBasicProgram(brisalto::ReadTapeDocument(path), 0, length, lines);
        lineCount = lines.lines.size();
        benchmark::DoNotOptimize(lines.lines.data());
    }
    ReportCounters(state, lineCount, program.size());
}
BENCHMARK(BM_ListBasicProgram)->Unit(benchmark::kMicrosecond);

}  // namespace
