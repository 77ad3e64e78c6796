// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

namespace brisalto {

// Held while the QApplication is made. Qt ends a program whose window system cannot start with
// an abort and the advice to reinstall it; where the cause is that there is no display, this
// says so in one line on standard error instead and ends the program with status 1. Qt's
// messages meanwhile wait, and go on to where they would have gone once the application
// stands, or when it fails for any other reason.
class NoDisplayGuard {
public:
    NoDisplayGuard();
    ~NoDisplayGuard();
    NoDisplayGuard(const NoDisplayGuard&) = delete;
    NoDisplayGuard& operator=(const NoDisplayGuard&) = delete;
};

// The line said then.
inline constexpr const char* kNoDisplayText =
    "brisalto: there is no display to open the window on; run it in a desktop session, over "
    "ssh -X, or under xvfb-run (brisalto-tape reads tapes without a window)\n";

}  // namespace brisalto
