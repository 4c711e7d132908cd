// Rounding to the nearest integer with halves to the even neighbour, used for
// every amount and percentage the host derives.
#pragma once
#include <stdint.h>

int32_t RoundHalfEven(double value);

// Round(numerator / denominator) taken over the exact quotient. For every value
// the host meets (denominators below 2^32, quotients up to a few hundred) this
// is the same as dividing in double precision and rounding, but it does not
// depend on the x87 unit's excess precision. A zero denominator gives 0.
int32_t RoundRatio(int64_t numerator, int64_t denominator);
