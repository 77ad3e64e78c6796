// SPDX-License-Identifier: GPL-3.0-or-later
#include "CodePageText.h"

#include <algorithm>
#include <array>
#include <cstdint>

#ifdef _WIN32
#include <windows.h>
#endif

namespace brisalto {

namespace {

// Windows-1252 from 0x80 to 0x9F; everything else is Latin-1, that is the byte's own code.
constexpr std::array<char16_t, 32> kHighControls = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

using CodePage = std::array<char32_t, 256>;

CodePage Windows1252() {
    CodePage page{};
    for (std::size_t byte = 0; byte < page.size(); ++byte) page[byte] = static_cast<char32_t>(byte);
    for (std::size_t byte = 0x80; byte < 0xA0; ++byte) page[byte] = kHighControls[byte - 0x80];
    return page;
}

#ifdef _WIN32
// The ANSI code page's characters, when it is a single-byte one; else Windows-1252's.
CodePage SystemCodePage() {
    CodePage page = Windows1252();
    CPINFO information{};
    if (!::GetCPInfo(CP_ACP, &information) || information.MaxCharSize != 1) return page;
    for (std::size_t byte = 0x80; byte < page.size(); ++byte) {
        const char single = static_cast<char>(byte);
        wchar_t wide = 0;
        // A byte the page leaves undefined keeps Windows-1252's character.
        if (::MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, &single, 1, &wide, 1) == 1)
            page[byte] = wide;
    }
    return page;
}
#else
CodePage SystemCodePage() {
    return Windows1252();
}
#endif

char32_t CodePoint(std::uint8_t byte) {
    static const CodePage page = SystemCodePage();
    return page[byte];
}


}  // namespace

void AppendUtf8(std::string& text, char32_t code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

std::string CodePageToUtf8(std::string_view bytes) {
    std::string text;
    text.reserve(bytes.size());
    for (const char c : bytes) AppendUtf8(text, CodePoint(static_cast<std::uint8_t>(c)));
    return text;
}

void AppendVisibleText(std::string& text, std::string_view bytes) {
    constexpr char32_t kControlPictures = 0x2400;  // U+2400 NUL ... U+241F, U+2421 DEL
    constexpr char32_t kReplacement = 0xFFFD;
    const auto plain = [](char c) { return c >= 0x20 && c < 0x7F; };
    for (auto at = bytes.begin(); at != bytes.end();) {
        // Runs of plain characters, the usual text, go over in one piece.
        const auto run = std::find_if_not(at, bytes.end(), plain);
        text.append(at, run);
        if (run == bytes.end()) break;
        at = run + 1;
        char32_t code = CodePoint(static_cast<std::uint8_t>(*run));
        if (code < 0x20) {
            code += kControlPictures;
        } else if (code == 0x7F) {
            code = kControlPictures + 0x21;
        } else if (code >= 0x80 && code < 0xA0) {
            code = kReplacement;
        }
        AppendUtf8(text, code);
    }
}

}  // namespace brisalto
