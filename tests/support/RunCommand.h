// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <string>

namespace brisalto::testing {

// Runs a shell command and returns what it printed on standard output; fails the test (and
// returns nothing) when the command exits with an error.
std::string RunCommand(const std::string& command);

}  // namespace brisalto::testing
