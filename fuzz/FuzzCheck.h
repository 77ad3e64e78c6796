// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdio>
#include <cstdlib>

namespace brisalto::fuzzing {

// A broken expectation is a finding: report it and abort so that libFuzzer keeps the input.
inline void Require(bool holds, const char* expectation) {
    if (holds) return;
    std::fprintf(stderr, "fuzz expectation failed: %s\n", expectation);
    std::abort();
}

}  // namespace brisalto::fuzzing
