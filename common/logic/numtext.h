// Decimal numbers as the user types and sees them. No locale, no grouping.
#pragma once
#include <stdint.h>

// An optional "-", then digits up to the first non-digit. No digits give 0;
// a leading blank or "+" ends the number at once. Wraps at 32 bits.
int32_t ParseNumber(const char* text);

// Plain decimal digits, "-" for negatives. `out` holds at least 12 chars.
// Returns the length written (without the terminating zero).
int FormatDecimal(int32_t value, char* out);

// Unsigned 64-bit figure, for memory amounts. `out` holds at least 21 chars.
int FormatUnsigned(uint64_t value, char* out);
