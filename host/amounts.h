// The cleaning amounts: the ones the user picks or types, the shares of the
// tray menu and the monitor, and the one the command line derives.
#pragma once
#include <stdint.h>

enum { kComboStep = 16 }; // MB between the offered amounts

// How many amounts the main dialog offers: 16, 32, ... each below `totalMB`.
int32_t ComboAmountCount(int32_t totalMB);
// The amount at `index` of that list.
int32_t ComboAmount(int32_t index);

// Characters of the amount box that count: the box is read into a buffer
// of four, with room for three and the terminating zero.
enum { kAmountChars = 3 };
// The amount the main dialog stores and cleans for the box's `text`: the
// number in its first three characters, kept as 16 bits unsigned (so "-1"
// is 65535, more than any machine this runs on, and cleans nothing).
uint16_t StoredCleanAmount(const char* text);

// "C A": the whole physical memory but 15 MB.
int32_t CleanAllAmount(int32_t totalMB);

// Round(totalMB * percent / 100): the product in 32-bit integer arithmetic
// (wrapping as such), the division rounded half to even.
int32_t PercentOfTotal(int32_t totalMB, int32_t percent);
