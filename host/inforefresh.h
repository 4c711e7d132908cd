// The live refresh of INFO_DIALOG's figures, on a thread of its own.
#pragma once
#include <windows.h>

extern HANDLE InfoThreadHandle; // the refresh thread INFO_DIALOG started, 0 when none

// The thread routine: writes memory figures and the processor load into
// CurrentDialog every InfoRefreshPeriod ms (never faster than every
// kShortestRefresh ms) while IDC_MONITORING stays checked. `parameter` carries the
// stop generation it was started in (StartInfoRefresh passes it); it ends
// with exit code 0.
DWORD WINAPI InfoRefreshThread(LPVOID parameter);
// Starts one refresh thread at the lowest priority; its handle, 0 when it
// could not be started.
HANDLE StartInfoRefresh();
// Tells every refresh thread started so far to end after its current round,
// whether or not its handle is still open. Never waits for them.
void StopInfoRefresh();
