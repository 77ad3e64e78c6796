// SPDX-License-Identifier: GPL-3.0-or-later
#include "ProgramView.h"

#include <algorithm>

#include "BlockBuffer.h"
#include "DecodeBasicProgram.h"
#include "LineSink.h"

namespace brisalto {

std::vector<std::string> ProgramViewLines(std::span<const std::uint8_t> body,
                                          std::uint16_t length) {
    // As the pane's lister: the flag byte first, no more than the buffer it keeps.
    const std::size_t kept = std::min({body.size(), std::size_t{length}, kBlockBufferSize});
    LineVector lines;
    std::vector<HiddenNumber> hidden;
    DecodeBasicProgram(body.first(kept), length, lines, hidden, BasicSpelling::Spectrum);
    std::vector<std::string> view = lines.lines;
    if (!hidden.empty()) view.emplace_back();
    for (const HiddenNumber& number : hidden) {
        // The line's number: the first word of its listed line.
        std::string line;
        if (number.line < lines.lines.size()) {
            const std::string& text = lines.lines[number.line];
            const std::size_t begin = text.find_first_not_of(' ');
            if (begin != std::string::npos)
                line = text.substr(begin, text.find(' ', begin) - begin);
        }
        view.push_back("Line " + line + ": " + number.digits + " hides the value " + number.value);
    }
    return view;
}

}  // namespace brisalto
