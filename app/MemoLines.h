// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string_view>

#include "LineSink.h"

class QPlainTextEdit;

namespace brisalto {

// The listing pane's line list as a line sink. Lines are gathered and handed to the pane in one
// go when the sink ends, so that a long listing lays the text out once and not once per line.
class MemoLines final : public LineSink {
public:
    explicit MemoLines(QPlainTextEdit& memo) : memo_(memo) {}
    ~MemoLines() override;
    MemoLines(const MemoLines&) = delete;
    MemoLines& operator=(const MemoLines&) = delete;

    void AddLine(std::string_view line) override;

private:
    QPlainTextEdit& memo_;
    QString text_;
    bool hasLines_ = false;
};

}  // namespace brisalto
