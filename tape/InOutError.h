// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>
#include <string>

namespace brisalto {

// Codes that our own file layer raises; the rest come from the operating system.
inline constexpr int kReadBeyondEndOfFile = 100;
// The code for a device that fails to read, as Windows numbers it.
inline constexpr int kReadFault = 30;

// The message the user sees for an input/output failure code.
std::string InOutMessage(int code);

// An input/output failure: the operating system's code, or kReadBeyondEndOfFile when a read
// that had to fill its whole count got fewer bytes.
class InOutError : public std::runtime_error {
public:
    explicit InOutError(int code) : std::runtime_error(InOutMessage(code)), code_(code) {}
    // A code the operating system gave, shown as "I/O error n" when its number is one of the
    // run-time codes above (ENETDOWN is 100 on Linux and is no end of file).
    static InOutError FromSystem(int code) {
        return InOutError(code, IsRunTimeCode(code) ? "I/O error " + std::to_string(code)
                                                    : InOutMessage(code));
    }
    int Code() const noexcept { return code_; }

private:
    InOutError(int code, const std::string& message) : std::runtime_error(message), code_(code) {}
    static bool IsRunTimeCode(int code) noexcept { return code == kReadBeyondEndOfFile || code == 101 || code == 106; }

    int code_;
};

}  // namespace brisalto
