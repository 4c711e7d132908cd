// The top of the program: start-up, the dispatch of the start modes (read
// by logic/startup), the second start and the message loop.
#pragma once

#include <windows.h>

// The whole life of the program; returns its exit code: 0, or 1 when the
// running copy refused a command handed over to it.
int RunHost(const char* commandLine);

// The running copy's side of a second start's hand-over (WM_COPYDATA to
// the main window): kHandOverTaken or kHandOverRefused, or 0 for a block
// that is none of ours. The command is under way, or done, on return.
LRESULT TakeHandOver(const COPYDATASTRUCT* data);
