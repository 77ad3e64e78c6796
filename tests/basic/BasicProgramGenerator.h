// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <random>
#include <string>

namespace brisalto::testing {

// Writes random BASIC programs as zmakebas source text: keyword statements and expressions,
// numbers of several forms (each stored with a hidden number), strings with UDG, block-graphic
// and colour-code escapes, REM lines, long lines, and a last line 9999. The same seed gives the
// same programs.
//
// Text that two listers legitimately render differently is never written: a parameter byte of
// a colour code is always below 0x20 and never 0x0E, and the bytes 0x0C and 0x7B..0x7F appear
// only inside string literals or inside REM text after its first character.
class BasicProgramGenerator {
public:
    explicit BasicProgramGenerator(std::uint32_t seed) : random_(seed) {}

    std::string Program();

private:
    std::size_t Below(std::size_t bound) { return random_() % bound; }
    bool OneIn(std::size_t n) { return Below(n) == 0; }

    std::string Line();
    std::string Statement();
    std::string PrintItems();
    std::string Expression(int depth);
    std::string Number();
    std::string Variable();
    std::string StringLiteral();
    std::string RemText();
    std::string Escape();
    std::string ColourCodes();

    std::mt19937 random_;
};

}  // namespace brisalto::testing
