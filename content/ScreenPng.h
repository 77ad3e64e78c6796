// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <cstdint>
#include <vector>

#include "DecodeScreen.h"

namespace brisalto {

// The screen as the bytes of a PNG file (8-bit RGB) of width x height pixels, from 1 up: each
// pixel the average of the part of the screen it covers, so that a whole multiple of 256x192
// keeps every Spectrum pixel a sharp square of its own colour.
std::vector<std::uint8_t> ScreenPng(const ScreenPixels& pixels, unsigned width, unsigned height);

}  // namespace brisalto
