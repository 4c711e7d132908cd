#include "inforefresh.h"

// The refresh thread is not built yet: no thread starts.
DWORD WINAPI InfoRefreshThread(LPVOID) { return 0; }
HANDLE StartInfoRefresh() { return 0; }
void StopInfoRefresh() {}
