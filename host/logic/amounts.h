// The cleaning amounts: the ones the user picks or types, the shares of the
// tray menu and the monitor, and the one the command line derives.
#pragma once
#include <stdint.h>

enum { kComboStep = 16 }; // MB between the offered amounts

// How many amounts the main dialog offers: 16, 32, ... each below `totalMB`
// and none above what one run cleans (1024 MB).
int32_t ComboAmountCount(int32_t totalMB);
// The amount at `index` of that list.
int32_t ComboAmount(int32_t index);

// The amount the main dialog cleans and stores for the box's `text`: its
// whole text as a decimal number that fits the stored 16 bits. False for
// anything else (empty, "abc", "48abc", " 64", "-1", "70000"): nothing is
// cleaned then.
bool ReadCleanAmount(const char* text, uint16_t* amount);

// "C A": the whole physical memory but 15 MB.
int32_t CleanAllAmount(int32_t totalMB);

// Round(totalMB * percent / 100): the product in 32-bit integer arithmetic
// (wrapping as such), the division rounded half to even.
int32_t PercentOfTotal(int32_t totalMB, int32_t percent);
