// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <stdexcept>

namespace brisalto {

// A tape that cannot be made to sound, or a sound refused (too long, too many edges, the sound
// library's own refusal); what() is the message the user sees.
class SoundError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace brisalto
