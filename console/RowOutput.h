// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "ConsoleTapes.h"

namespace brisalto {

// Writes what make gives for a row of the tape to the request's output; a failure to make it is
// told of as the row's, a failure to write as the output's.
void WriteRowOutput(const ConsoleRequest& request, const ConsoleTape& tape, std::size_t number,
                    const std::function<std::vector<std::uint8_t>()>& make, Outcome& outcome);

}  // namespace brisalto
