// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QRect;
class QSize;
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

// Moves a top-level window not yet shown beside owner, a window shown, on owner's screen: to
// its right, else its left, made narrower down to minimumWidth where the screen has less room;
// where neither side has that room, below keep (a part of owner in owner's coordinates that is
// to stay in sight), made lower to fit. cascade moves it that many steps down and away from
// owner, as far as the screen has room, so that windows placed in turn do not hide each other.
void PlaceBeside(QWidget& window, const QWidget& owner, const QRect& keep, int minimumWidth,
                 int cascade);

// Where PlaceBeside puts a window of frame size wanted: its frame, on area (the screen's), given
// the owner's frame and keep, both in the screen's coordinates.
QRect FrameBeside(const QRect& area, const QRect& ownerFrame, const QRect& keep, QSize wanted,
                  int minimumWidth, int cascade);

}  // namespace brisalto
