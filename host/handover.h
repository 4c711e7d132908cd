// A second start's command handed to the running copy (WM_COPYDATA to its
// main window) instead of the refusal box.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "logic/startup.h"

// The amount a command line's "C" asks for: its number, or all but 15 MB.
int32_t AmountOf(const TStartRequest& request);

// The second start's side: hands `commandLine` to the copy whose main window
// is `running`; its exit code, or -1 when that copy did not take it up.
int HandOver(HWND running, const char* commandLine);

// The running copy's side: kHandOverTaken or kHandOverRefused, or 0 for a
// block that is none of ours. The command is under way, or done, on return.
LRESULT TakeHandOver(const COPYDATASTRUCT* data);
