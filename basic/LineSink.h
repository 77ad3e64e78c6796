// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace brisalto {

// Where listed text lines go, one at a time, in order (the window's listing pane, a test's list).
class LineSink {
public:
    virtual ~LineSink() = default;
    virtual void AddLine(std::string_view line) = 0;
};

// Keeps the lines in memory.
class LineVector final : public LineSink {
public:
    void AddLine(std::string_view line) override { lines.emplace_back(line); }
    std::vector<std::string> lines;
};

}  // namespace brisalto
