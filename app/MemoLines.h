// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>

#include <string_view>

#include "LineSink.h"

class QPlainTextEdit;

namespace brisalto {

// Listing lines gathered as one text in the screen's characters, a line break between two.
class ListingLines : public LineSink {
public:
    void AddLine(std::string_view line) override;
    const QString& Text() const noexcept { return text_; }
    bool HasLines() const noexcept { return hasLines_; }

private:
    QString text_;
    bool hasLines_ = false;
};

// The listing pane's line list as a line sink. Lines are gathered and handed to the pane in one
// go when the sink ends, so that a long listing lays the text out once and not once per line.
class MemoLines final : public ListingLines {
public:
    explicit MemoLines(QPlainTextEdit& memo) : memo_(memo) {}
    ~MemoLines() override;
    MemoLines(const MemoLines&) = delete;
    MemoLines& operator=(const MemoLines&) = delete;

private:
    QPlainTextEdit& memo_;
};

}  // namespace brisalto
