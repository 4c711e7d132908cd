// The information refresh's pace. Its Win32 half: inforefresh.
#pragma once
#include <stdint.h>

// The refresh thread's pause for InfoRefreshPeriod: never shorter than
// kShortestRefresh ms, so that a period of 0 from a hand-edited file does
// not keep a processor busy with updates nobody can read.
enum { kShortestRefresh = 100 };
uint32_t RefreshPause(uint16_t periodMs);
