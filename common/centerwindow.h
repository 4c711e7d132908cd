// Centring a window on the primary screen, shared by the host's dialogs and
// the modules' dialogs.
#pragma once
#include <windows.h>

// Moves `window`, size unchanged and without repainting, to the middle of the
// primary screen; the taskbar is not taken into account, so a window larger
// than the screen gets a negative position.
void CenterWindow(HWND window);
