// SPDX-License-Identifier: GPL-3.0-or-later
#include "BasicProgramGenerator.h"

#include <array>
#include <string_view>

namespace brisalto::testing {

namespace {

template <typename T, std::size_t N>
const T& PickFrom(const std::array<T, N>& items, std::size_t index) {
    return items[index % N];
}

constexpr std::array<std::string_view, 16> kNumericFunctions = {
    "SIN", "COS", "TAN", "ASN", "ACS",  "ATN", "LN",  "EXP",
    "INT", "SQR", "SGN", "ABS", "PEEK", "IN",  "USR", "NOT",
};
constexpr std::array<std::string_view, 3> kStringFunctions = {"CODE", "VAL", "LEN"};
constexpr std::array<std::string_view, 2> kToStringFunctions = {"STR$", "CHR$"};
constexpr std::array<std::string_view, 3> kCoordinateFunctions = {"POINT", "SCREEN$", "ATTR"};
constexpr std::array<std::string_view, 12> kOperators = {
    "+", "-", "*", "/", " OR ", " AND ", "<=", ">=", "<>", "=", "<", ">",
};
constexpr std::array<std::string_view, 6> kColourKeywords = {"INK",    "PAPER",   "FLASH",
                                                             "BRIGHT", "INVERSE", "OVER"};
// Characters written as themselves in strings and REM text: printable ASCII without the
// quotation mark and backslash (which zmakebas treats specially) and without 0x7B..0x7E, which
// come separately where they are safe.
constexpr std::string_view kPlainCharacters =
    " !#$%&'()*+,-./0123456789:;<=>?@ABCDEFGHIJKLMNOPQRSTUVWXYZ[]^_`abcdefghijklmnopqrstuvwxyz";
// Second characters of the zmakebas escapes for 0x90..0xA2 (UDGs a..s).
constexpr std::string_view kUdgLetters = "abcdefghijklmnopqrs";
// The four quarter-square drawings of a block graphic's column.
constexpr std::string_view kDrawing = " .':";

}  // namespace

std::string BasicProgramGenerator::Program() {
    std::string program;
    const std::size_t lineCount = 1 + Below(40);
    unsigned number = 1 + static_cast<unsigned>(Below(20));
    for (std::size_t i = 0; i < lineCount && number < 9999; ++i) {
        program += std::to_string(number) + " " + Line() + "\n";
        number += 1 + static_cast<unsigned>(Below(60));
    }
    program += "9999 " + Line() + "\n";
    return program;
}

std::string BasicProgramGenerator::Line() {
    if (OneIn(8)) return "REM " + RemText();
    // Now and then a long line, beyond 255 bytes; zmakebas takes source lines of up to about
    // 2,000 characters, which the caps on statements and REM text keep to.
    const std::size_t statements = OneIn(12) ? 20 + Below(30) : 1 + Below(4);
    std::string line;
    for (std::size_t i = 0; i < statements && line.size() < 900; ++i) {
        if (i > 0) line += ":";
        line += Statement();
    }
    if (OneIn(6)) line += ":REM " + RemText();
    return line;
}

std::string BasicProgramGenerator::Statement() {
    const auto e = [this] { return Expression(0); };
    switch (Below(52)) {
        case 0: return "PRINT " + PrintItems();
        case 1: return "LPRINT " + PrintItems();
        case 2: return "LET " + Variable() + "=" + Expression(2);
        case 3: return "LET " + Variable() + "$=" + StringLiteral();
        case 4: return "IF " + Expression(1) + " THEN " + Statement();
        case 5: return "FOR " + Variable() + "=" + e() + " TO " + e() + " STEP " + e();
        case 6: return "NEXT " + Variable();
        case 7: return "GO TO " + Number();
        case 8: return "GO SUB " + Number();
        case 9: return "RETURN";
        case 10: return "STOP";
        case 11: return "DATA " + e() + "," + StringLiteral();
        case 12: return "READ " + Variable();
        case 13: return "RESTORE " + Number();
        case 14: return "DIM " + Variable() + "(" + Number() + ")";
        case 15: return "INPUT " + StringLiteral() + ";" + Variable();
        case 16: return "BEEP " + e() + "," + e();
        case 17: return "CIRCLE " + e() + "," + e() + "," + e();
        case 18: return "PLOT " + e() + "," + e();
        case 19: return "DRAW " + e() + "," + e();
        case 20: return std::string(PickFrom(kColourKeywords, Below(6))) + " " + e();
        case 21: return "BORDER " + e();
        case 22: return "OUT " + e() + "," + e();
        case 23: return "POKE " + e() + "," + e();
        case 24: return "PAUSE " + e();
        case 25: return "RANDOMIZE " + e();
        case 26: return "CLS";
        case 27: return "CLEAR " + Number();
        case 28: return "COPY";
        case 29: return "NEW";
        case 30: return "RUN";
        case 31: return "LIST";
        case 32: return "LLIST";
        case 33: return "CONTINUE";
        case 34: return "CAT";
        case 35: return "FORMAT " + StringLiteral();
        case 36: return "MOVE " + StringLiteral() + "," + StringLiteral();
        case 37: return "ERASE " + StringLiteral();
        case 38: return "OPEN #" + Number() + "," + StringLiteral();
        case 39: return "CLOSE #" + Number();
        case 40: return "MERGE " + StringLiteral();
        case 41: return "VERIFY " + StringLiteral();
        case 42: return "SAVE " + StringLiteral() + " LINE " + Number();
        case 43: return "LOAD " + StringLiteral();
        case 44: return "DEF FN " + Variable() + "(x)=" + Expression(2);
        case 45: return "SPECTRUM";
        case 46: return "PLAY " + StringLiteral();
        case 47: return "INPUT " + Variable();
        case 48: return "PRINT " + ColourCodes() + PrintItems();
        case 49: return "LET " + Variable() + "=" + Expression(3);
        case 50: return "PRINT #" + Number() + ";" + StringLiteral();
        default: return "RESTORE";
    }
}

std::string BasicProgramGenerator::PrintItems() {
    std::string items;
    const std::size_t count = 1 + Below(4);
    for (std::size_t i = 0; i < count; ++i) {
        if (i > 0) items += OneIn(2) ? ";" : ",";
        switch (Below(6)) {
            case 0: items += "AT " + Number() + "," + Number() + ";"; break;
            case 1: items += "TAB " + Number() + ";"; break;
            case 2:
                items += std::string(PickFrom(kColourKeywords, Below(6))) + " " + Number() + ";";
                break;
            case 3: items += Expression(1); break;
            default: items += StringLiteral(); break;
        }
    }
    return items;
}

std::string BasicProgramGenerator::Expression(int depth) {
    const std::size_t choice = Below(depth > 3 ? 3 : 14);
    switch (choice) {
        case 0: return Number();
        case 1: return Variable();
        case 2:
            return std::string(
                PickFrom(std::array<std::string_view, 3>{"RND", "PI", "INKEY$"}, Below(3)));
        case 3:
            return std::string(PickFrom(kNumericFunctions, Below(16))) + " " +
                   Expression(depth + 1);
        case 4: return std::string(PickFrom(kStringFunctions, Below(3))) + " " + StringLiteral();
        case 5:
            return std::string(PickFrom(kToStringFunctions, Below(2))) + " " +
                   Expression(depth + 1);
        case 6:
            return std::string(PickFrom(kCoordinateFunctions, Below(3))) + " (" +
                   Expression(depth + 1) + "," + Expression(depth + 1) + ")";
        case 7: return "FN " + Variable() + "(" + Expression(depth + 1) + ")";
        // zmakebas reads VAL$ as VAL and a dollar sign, so its token goes in as a byte.
        case 8: return "\\{0xAE}" + StringLiteral();
        case 9: return "(" + Expression(depth + 1) + ")";
        default:
            return Expression(depth + 1) + std::string(PickFrom(kOperators, Below(12))) +
                   Expression(depth + 1);
    }
}

std::string BasicProgramGenerator::Number() {
    switch (Below(7)) {
        case 0: return std::to_string(Below(10));
        case 1: return std::to_string(Below(65536));
        case 2: return std::to_string(Below(1000)) + "." + std::to_string(Below(1000));
        case 3: return "." + std::to_string(1 + Below(99));
        case 4: return std::to_string(1 + Below(9)) + "e" + std::to_string(Below(30));
        case 5: {
            std::string binary = "BIN ";
            for (std::size_t i = 0, n = 1 + Below(16); i < n; ++i) binary += OneIn(2) ? '1' : '0';
            return binary;
        }
        default: return std::to_string(Below(100));
    }
}

std::string BasicProgramGenerator::Variable() {
    return std::string(1, static_cast<char>('a' + Below(26)));
}

std::string BasicProgramGenerator::StringLiteral() {
    std::string text = "\"";
    for (std::size_t i = 0, n = Below(24); i < n; ++i) {
        switch (Below(10)) {
            case 0: text += Escape(); break;
            case 1: text += ColourCodes(); break;
            case 2: text += "{|}~"[Below(4)]; break;
            case 3: text += "\\{12}"; break;
            default: text += kPlainCharacters[Below(kPlainCharacters.size())]; break;
        }
    }
    return text + "\"";
}

std::string BasicProgramGenerator::RemText() {
    // A letter first: listbasic reads 0x7B..0x7F straight after REM as Timex keywords.
    std::string text(1, static_cast<char>('A' + Below(26)));
    for (const std::size_t size = Below(OneIn(10) ? 500 : 40); text.size() < size;) {
        switch (Below(10)) {
            case 0: text += Escape(); break;
            case 1: text += ColourCodes(); break;
            case 2: text += "{|}~\""[Below(5)]; break;
            default: text += kPlainCharacters[Below(kPlainCharacters.size())]; break;
        }
    }
    // A letter last: zmakebas would take an escape's backslash (or a block graphic's with its
    // trailing spaces stripped) at the end of the line as a line continuation.
    return text + static_cast<char>('a' + Below(26));
}

// zmakebas escapes for 0x7F, the backslash, 0x90..0xA2 and the block graphics 0x80..0x8F.
std::string BasicProgramGenerator::Escape() {
    switch (Below(4)) {
        case 0: return OneIn(2) ? "\\*" : "\\\\";
        case 1: return std::string("\\") + kUdgLetters[Below(kUdgLetters.size())];
        default: return std::string("\\") + kDrawing[Below(4)] + kDrawing[Below(4)];
    }
}

// One of INK..OVER (0x10..0x15) with a parameter, or AT/TAB (0x16, 0x17) with two, written as
// \{n} escapes; every parameter below 0x20 and never 0x0E.
std::string BasicProgramGenerator::ColourCodes() {
    const auto parameter = [this] {
        std::size_t value = Below(31);
        if (value >= 0x0E) ++value;
        return "\\{" + std::to_string(value) + "}";
    };
    const std::size_t code = 0x10 + Below(8);
    std::string codes = "\\{" + std::to_string(code) + "}" + parameter();
    if (code >= 0x16) codes += parameter();
    return codes;
}

}  // namespace brisalto::testing
