// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "DecodeBasicProgram.h"

namespace brisalto {

// A stretch of a listed line's text and the colours the Spectrum lists it in.
struct ColouredRun {
    std::size_t begin = 0;  // in the line's text
    std::size_t end = 0;
    std::uint8_t ink = 0;  // kSpectrumPalette indexes: 0 to 7, their bright forms 8 to 15
    std::uint8_t paper = 7;
    bool flash = false;

    bool operator==(const ColouredRun&) const = default;
};

// The runs of a line of lineLength characters, from its first colour code to its end, as the
// codes (that line's, in order) colour them: each applies to the text after it until the line
// ends, as LIST starts every line in the permanent colours again. INK and PAPER 0 to 7 set the
// colour, 9 the one that contrasts with the other, 8 keeps it; BRIGHT, INVERSE and FLASH 0 or 1
// (8 keeps); OVER changes nothing a listing shows, nor does a value the ROM would refuse. Text
// before the first code has no run: it keeps the listing's own look.
std::vector<ColouredRun> ColourRuns(std::size_t lineLength, std::span<const ColourCode> codes);

}  // namespace brisalto
