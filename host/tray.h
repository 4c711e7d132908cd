// The notification-area icon.
#pragma once
#include <windows.h>

#include <atomic>

#include "logic/tray.h"

// The icon the shell was last given; the monitor thread draws new ones while
// the main thread may hand it to the shell again.
extern std::atomic<HICON> TrayIconHandle;

// The program's own icon at the small-icon size or the one given, loaded
// shared (beyond 16 x 16 a copy opaque by its alpha, made once): never
// destroyed.
HICON ProgramTrayIcon();
HICON ProgramTrayIcon(int width, int height);

bool AddTrayIcon(HWND window, UINT id, HICON icon, UINT callbackMessage, const char* tip);
bool ModifyTrayIcon(HWND window, UINT id, HICON icon, UINT callbackMessage, const char* tip);
bool DeleteTrayIcon(HWND window, UINT id);

// One tick's figures: one processor sample, one memory reading; without
// `memory`, the memory figures of `previous` instead of a reading.
TTrayFigures ReadTrayFigures(bool memory = true, const TTrayFigures* previous = nullptr);
// The system's small-icon size, read afresh (it follows the display's DPI);
// 16 x 16 on systems before Vista.
void SmallIconSize(int* width, int* height);

// "Brindlecap" and the figures on a second line, as the tip shows them.
void TrayTipText(const TTrayFigures& figures, char out[kTipSize]);

// Draws the picture of `mode` for `figures` and makes it TrayIconHandle, at
// the small-icon size or at the one given.
void RenderTrayIcon(int mode, const TTrayFigures& figures);
void RenderTrayIcon(int mode, const TTrayFigures& figures, int width, int height);
// Once a second from the monitor: redraw and hand the icon and its tip to
// the shell, but only when they would show something else than the shell
// shows already. Mode 0 draws nothing; after a drawn picture it gives the
// shell the program's own icon and the plain tip again.
void RefreshTrayIcon(int mode, const TTrayFigures& figures);
// The guard of the notices; once at start-up, before the monitor starts.
void InitTray();
// A notice for the user, the main thread's: a balloon of `title` and `text`
// on shells that have them (5.0 and later), else `tip` in the icon's tip
// for a few seconds, during which the refresh leaves the icon as it is.
void ShowTrayNotice(const char* title, const char* text, const char* tip);

// Shutdown: destroys TrayIconHandle once, when it is a drawn icon (the
// program's own, loaded shared, belongs to the module). The monitor thread,
// which keeps drawing until the process ends, never releases the same icon
// again: a drawn icon changes hands only by one atomic exchange.
void ReleaseTrayIcon();
