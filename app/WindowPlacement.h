// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QWidget;

namespace brisalto {

enum class Placement {
    Centre,      // centred on the screen
    ThirdsDown,  // centred across; a third of the height left over above it, two thirds below
};

// Moves a top-level window so that its frame (title bar and borders included) sits on its
// screen's available area as placement says. Until the window system has framed this window,
// the frame of a window already shown stands in for its own; once it is framed it is placed
// again by its own frame, should that differ.
void PlaceOnScreen(QWidget& window, Placement placement);

}  // namespace brisalto
