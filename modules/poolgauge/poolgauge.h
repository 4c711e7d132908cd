// The system resources module: free GDI, SYSTEM and USER resources of the
// Windows 95/98/Me family, read through the kernel's 16-bit thunk.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "resource.h"

// Kinds of pool, as the 16-bit GetFreeSystemResources numbers them.
enum {
    kSystemResources = 0,
    kGdiResources = 1,
    kUserResources = 2,
};

// Percentage of the pool that is free; 0 whenever it cannot be read.
uint16_t ReadResourcePercent(uint16_t kind);
// Reads the three figures and writes them into bars and labels.
void RefreshResources(HWND dialog);

extern "C" {
// One call of a 16-bit pascal function of one word through QT_Thunk: the
// result's low half is the function's AX, the high half how many bytes ESP
// moved across the call (0 when balanced).
uint64_t CallThunk16(void* qtThunk, uint32_t target16, uint16_t argument);
}
