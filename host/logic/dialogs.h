// Where the host dialogs go on the screen: snapping to the work area and
// reading back the positions the settings file keeps. Its Win32 half:
// dialogs.
#pragma once
#include <stdint.h>

enum { SnapDistance = 20 }; // pixels

struct TArea {
    int32_t Left, Top, Right, Bottom;
};

struct TPlacement {
    int32_t X, Y, Width, Height;
};

// Sticks a proposed window position to the edges of `work` within
// SnapDistance, and once any edge stuck, pulls the window inside: left,
// then right, then top, then bottom, so that the right and bottom edges of
// a window larger than the work area stay on it. True when anything snapped.
bool SnapToWorkArea(TPlacement* position, const TArea& work);

// The settings keep a position as its low 16 bits. They are read back as
// signed, so that a dialog left partly beyond the left or top edge, or on a
// monitor left of or above the primary one, returns where it was.
int32_t StoredCoordinate(uint16_t stored);

// A stored position may point at a monitor that is gone or at a screen
// that has shrunk: unless the whole window lies within `screen` it is
// pulled inside (its top-left corner wins when it is the larger).
void KeepOnScreen(TPlacement* position, const TArea& screen);
