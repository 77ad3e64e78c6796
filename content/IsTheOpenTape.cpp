// SPDX-License-Identifier: GPL-3.0-or-later
#include "IsTheOpenTape.h"

#include <filesystem>
#include <system_error>

namespace brisalto {

namespace {

// On Windows a narrow path would be read in the ANSI code page, which loses what it cannot spell.
std::filesystem::path Utf8Path(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

}  // namespace

bool IsTheOpenTape(const std::string& target, const std::string& tapePath) {
    std::error_code error;
    return std::filesystem::equivalent(Utf8Path(target), Utf8Path(tapePath), error) && !error;
}

}  // namespace brisalto
