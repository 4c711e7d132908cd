#include "dialogs.h"

bool SnapToWorkArea(TPlacement* p, const TArea& w)
{
    bool snapped = false;
    if (p->X <= w.Left + SnapDistance) {
        p->X = w.Left;
        snapped = true;
    }
    if (p->X + p->Width >= w.Right - SnapDistance) {
        p->X = w.Right - p->Width;
        snapped = true;
    }
    if (p->Y <= w.Top + SnapDistance) {
        p->Y = w.Top;
        snapped = true;
    }
    if (p->Y + p->Height >= w.Bottom - SnapDistance) {
        p->Y = w.Bottom - p->Height;
        snapped = true;
    }
    // Left, then right: of a window wider than the work area the right
    // edge shows; likewise the bottom edge of one taller than it.
    if (snapped) {
        if (p->X < w.Left)
            p->X = w.Left;
        if (p->X + p->Width > w.Right)
            p->X = w.Right - p->Width;
        if (p->Y < w.Top)
            p->Y = w.Top;
        if (p->Y + p->Height > w.Bottom)
            p->Y = w.Bottom - p->Height;
    }
    return snapped;
}

int32_t StoredCoordinate(uint16_t stored) { return int16_t(stored); }

void KeepOnScreen(TPlacement* p, const TArea& s)
{
    if (p->X + p->Width > s.Right)
        p->X = s.Right - p->Width;
    if (p->X < s.Left)
        p->X = s.Left;
    if (p->Y + p->Height > s.Bottom)
        p->Y = s.Bottom - p->Height;
    if (p->Y < s.Top)
        p->Y = s.Top;
}
